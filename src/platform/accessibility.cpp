#include "platform/accessibility.h"

#include <QAccessible>

namespace {

AccessibilityHandler& installedHandler() {
    static AccessibilityHandler handler;
    return handler;
}

} // namespace

void setAccessibilityHandler(AccessibilityHandler handler) {
    installedHandler() = std::move(handler);
}

bool accessibilityListening() {
    return installedHandler() || QAccessible::isActive();
}

void notifyAccessibility(QAccessibleEvent& event) {
    if (const AccessibilityHandler handler = installedHandler())
        return handler(event);
    QAccessible::updateAccessibility(&event);
}
