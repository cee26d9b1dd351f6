#pragma once

#include <functional>

class QAccessibleEvent;

// What screen readers are told leaves the program for the desktop's accessibility bus. Tests
// install a handler that records the events instead; an empty handler restores the bus.
using AccessibilityHandler = std::function<void(QAccessibleEvent& event)>;
void setAccessibilityHandler(AccessibilityHandler handler);

// Whether anybody listens: a screen reader (or another assistive program) on the bus, or a handler.
// Without a listener there is no need to work out what to tell.
bool accessibilityListening();

// Tells the listener about the event.
void notifyAccessibility(QAccessibleEvent& event);
