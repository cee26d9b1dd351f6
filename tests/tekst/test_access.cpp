// Screen readers: the document view through Qt's accessibility interfaces.

#include "platform/accessibility.h"
#include "tekst/Tekstiboks.h"
#include "testsupport.h"

#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Tere0 _1 maailm2 →3 P4 ¶5 | teine6 _7 rida8 ¶9
const QString kDok = "VLM1<1{F DejaVu Sans;12;0;0;0;0;0;0;#000000}{M Tere}{U}{M maailm}{T}{P @;20;20;}{N}>"
                     "<1{M teine}{U}{E #ffff00}{M rida}{N}>";
const QString kTekst = "Tere maailm\t\ufffc\nteine rida";

// Every caret and selection event about the view, as "caret 5" and "selection 5-11".
struct Kuulaja {
    QStringList arrSundmused;

    explicit Kuulaja(QObject* vaade) {
        setAccessibilityHandler([this, vaade](QAccessibleEvent& e) {
            if (e.object() != vaade)
                return;
            if (e.type() == QAccessible::TextCaretMoved)
                arrSundmused << QStringLiteral("caret %1")
                                    .arg(static_cast<QAccessibleTextCursorEvent&>(e).cursorPosition());
            if (e.type() == QAccessible::TextSelectionChanged) {
                const auto& v = static_cast<QAccessibleTextSelectionEvent&>(e);
                arrSundmused
                    << QStringLiteral("selection %1-%2").arg(v.selectionStart()).arg(v.selectionEnd());
            }
        });
    }
    ~Kuulaja() { setAccessibilityHandler({}); }
};

TEST(Access, TextCaretAndSelectionFollowKeysAndSearch) {
    ShownDocument d(kDok, QSize(400, 300));
    QAccessibleInterface* liides = QAccessible::queryAccessibleInterface(&d.view);
    ASSERT_TRUE(liides && liides->textInterface());
    QAccessibleTextInterface& tekst = *liides->textInterface();
    EXPECT_EQ(liides->role(), QAccessible::EditableText);
    EXPECT_TRUE(liides->state().readOnly && liides->state().focused);
    EXPECT_EQ(liides->text(QAccessible::Name), "Dokument");
    EXPECT_EQ(tekst.characterCount(), kTekst.size());
    EXPECT_EQ(tekst.text(0, tekst.characterCount()), kTekst);
    EXPECT_EQ(tekst.text(8, 16), "ilm\t\ufffc\nte");

    Kuulaja kuulaja(&d.view);
    struct Rida {
        const char* nimi;
        std::function<void()> samm;
        int nKursor;
        std::pair<int, int> valik;
        const char* strSundmused;
    };
    const auto klahv = [&](Qt::Key k, Qt::KeyboardModifiers m = {}) {
        return [&d, k, m] { QTest::keyClick(&d.view, k, m); };
    };
    const Rida read[] = {
        {"Right twice: over a whole run",
         [&] { klahv(Qt::Key_Right)(), klahv(Qt::Key_Right)(); },
         5,
         {0, 0},
         "caret 4|caret 5"},
        {"Shift+Right over the run",
         klahv(Qt::Key_Right, Qt::ShiftModifier),
         11,
         {5, 11},
         "selection 5-11|caret 11"},
        {"Shift+Right over the tab and the picture",
         [&] { klahv(Qt::Key_Right, Qt::ShiftModifier)(), klahv(Qt::Key_Right, Qt::ShiftModifier)(); },
         13,
         {5, 13},
         "selection 5-12|caret 12|selection 5-13|caret 13"},
        {"a search selects its occurrence",
         [&] { d.view.Otsi("rida"); },
         24,
         {20, 24},
         "selection 20-24|caret 24"},
        {"Escape: only the selection changes", klahv(Qt::Key_Escape), 24, {0, 0}, "selection 24-24"},
        {"the screen reader moves the caret", [&] { tekst.setCursorPosition(7); }, 5, {0, 0}, "caret 5"},
        {"and selects, by whole elements",
         [&] { tekst.setSelection(0, 1, 6); },
         11,
         {0, 11},
         "selection 0-11|caret 11"},
    };
    for (const Rida& rida : read) {
        kuulaja.arrSundmused.clear();
        rida.samm();
        EXPECT_EQ(tekst.cursorPosition(), rida.nKursor) << rida.nimi;
        std::pair<int, int> valik{0, 0};
        if (tekst.selectionCount() == 1)
            tekst.selection(0, &valik.first, &valik.second);
        EXPECT_EQ(valik, rida.valik) << rida.nimi;
        EXPECT_EQ(kuulaja.arrSundmused.join('|'), rida.strSundmused) << rida.nimi;
    }
}

// Lines are the laid-out lines; words and characters follow Qt's rules in the text around them.
TEST(Access, BoundariesBoxesAndStyle) {
    ShownDocument d(kDok, QSize(120, 300));
    QAccessibleTextInterface& tekst = *QAccessible::queryAccessibleInterface(&d.view)->textInterface();
    // The first paragraph breaks after "maailm" at this width.
    ASSERT_EQ(d.view.m_arrReaAlgus[1], 4);
    struct Rida {
        const char* nimi;
        QAccessible::TextBoundaryType tuup;
        int nSuund, nKoht;
        const char* oodatud;
        std::pair<int, int> ulatus;
    };
    const Rida read[] = {
        {"the line at an offset", QAccessible::LineBoundary, 0, 2, "Tere maailm\t", {0, 12}},
        {"the line after it", QAccessible::LineBoundary, 1, 2, "\ufffc\n", {12, 14}},
        {"the line before the last", QAccessible::LineBoundary, -1, 20, "\ufffc\n", {12, 14}},
        {"no line before the first", QAccessible::LineBoundary, -1, 2, "", {-1, -1}},
        {"the word", QAccessible::WordBoundary, 0, 7, "maailm", {5, 11}},
        {"the paragraph", QAccessible::ParagraphBoundary, 0, 16, "teine rida", {14, 24}},
        {"the character", QAccessible::CharBoundary, 0, 12, "\ufffc", {12, 13}},
    };
    for (const Rida& rida : read) {
        int nAlgus = -2, nLopp = -2;
        const QString s = rida.nSuund < 0   ? tekst.textBeforeOffset(rida.nKoht, rida.tuup, &nAlgus, &nLopp)
                          : rida.nSuund > 0 ? tekst.textAfterOffset(rida.nKoht, rida.tuup, &nAlgus, &nLopp)
                                            : tekst.textAtOffset(rida.nKoht, rida.tuup, &nAlgus, &nLopp);
        EXPECT_EQ(s, rida.oodatud) << rida.nimi;
        EXPECT_EQ(std::pair(nAlgus, nLopp), rida.ulatus) << rida.nimi;
    }

    // The characters of a run lie side by side inside its box, in screen coordinates, and each box's
    // middle gives its character back.
    const QRect rRun = QRect(d.view.mapToGlobal(d.box(2).topLeft().toPoint()), d.box(2).size().toSize());
    int nEelmine = rRun.left() - 2;
    for (int nKoht = 5; nKoht < 11; ++nKoht) {
        const QRect r = tekst.characterRect(nKoht);
        EXPECT_TRUE(rRun.adjusted(-1, -1, 1, 1).contains(r)) << nKoht;
        EXPECT_GT(r.left(), nEelmine) << nKoht;
        nEelmine = r.left();
        EXPECT_EQ(tekst.offsetAtPoint(r.center()), nKoht);
    }
    EXPECT_EQ(tekst.characterRect(24), QRect());

    int nAlgus = 0, nLopp = 0;
    EXPECT_EQ(tekst.attributes(21, &nAlgus, &nLopp),
              "font-family:\"DejaVu Sans\";font-size:12pt;font-weight:400;font-style:normal;"
              "color:rgb(0,0,0);background-color:rgb(255,255,0);");
    EXPECT_EQ(std::pair(nAlgus, nLopp), std::pair(20, 24));
}

} // namespace
