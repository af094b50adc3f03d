// The layer's dialogs and controls as built from a template: sizes in dialog units, the font, the
// kinds of control and their styles, texts in the window code page, the list, the combo box and the
// IP-address control, read both through the layer and from the real widgets.
#include <cstdlib>
#include <cstring>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRawFont>
#include <QTest>
#include <QTreeWidget>

#include "tests/ui/UiLayerFixture.h"

namespace uitest {
namespace {

class ControlsTest : public UiTest {
  protected:
    void SetUp() override { ASSERT_TRUE(dlg.Create()); }
    RecordingDialog dlg{SampleTemplate()};
};

// Base units computed here from the font the window really uses, independently of the layer.
struct Base {
    int x;
    int y;
};
Base BaseOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(letters + 26) / 52, metrics.height()};
}
int Px(int du, int base, int per) {
    return (du * base + per / 2) / per;
}

// Text beyond ASCII arrives the way an input method commits it.
void Commit(QWidget* widget, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(widget, &event);
}

TEST_F(ControlsTest, DialogUnitsBecomePixelsFromTheDialogFont) {
    QWidget* window = ui::WidgetOf(dlg);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(QFontInfo(window->font()).family(), "DejaVu Sans") << "MS Shell Dlg maps to a sans face";
    EXPECT_EQ(window->font().pointSize(), 8);
    // Chinese text falls back to the CJK face.
    EXPECT_EQ(QRawFont::fromFont(window->font(), QFontDatabase::SimplifiedChinese).familyName(),
              "WenQuanYi Micro Hei");

    const Base base = BaseOf(window->font());
    ASSERT_GT(base.x, 4);
    ASSERT_GT(base.y, 8);
    EXPECT_EQ(window->size(), QSize(Px(200, base.x, 4), Px(140, base.y, 8)));
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "fixed size";

    const struct {
        int id;
        int x, y, cx, cy;
    } placed[] = {
        {kLabel, 7, 7, 60, 8},    {kNumberEdit, 7, 20, 50, 12}, {kCheck, 7, 35, 100, 10},
        {kList, 70, 48, 120, 50}, {kIp, 7, 102, 100, 11},       {kGo, 120, 118, 35, 14},
    };
    for (const auto& p : placed)
        EXPECT_EQ(ui::ItemWidgetOf(dlg, p.id)->geometry(),
                  QRect(Px(p.x, base.x, 4), Px(p.y, base.y, 8), Px(p.cx, base.x, 4), Px(p.cy, base.y, 8)))
            << p.id;

    // A combo's template height is its dropped list: the closed box is one line high.
    QComboBox* combo = Item<QComboBox>(dlg, kCombo);
    EXPECT_EQ(combo->pos(), QPoint(Px(7, base.x, 4), Px(48, base.y, 8)));
    EXPECT_EQ(combo->width(), Px(60, base.x, 4));
    EXPECT_LT(combo->height(), Px(80, base.y, 8) / 2);
    // Pictures size themselves: a bitmap to its image, an icon to the desktop's icon size.
    EXPECT_EQ(ui::ItemWidgetOf(dlg, kBitmap)->geometry(),
              QRect(Px(135, base.x, 4), Px(20, base.y, 8), 30, 12));
    EXPECT_EQ(ui::ItemWidgetOf(dlg, kIcon)->size(), QSize(32, 32));
}

TEST_F(ControlsTest, WindowStylesComeFromTheTemplate) {
    const struct {
        std::uint32_t style;
        bool minimize;
        int menuItems;
    } cases[] = {{0, false, 1}, {ui::style::kMinimizeBox, true, 2}};
    for (const auto& c : cases) {
        RecordingDialog d(SampleTemplate({c.style}));
        d.Create();
        const Qt::WindowFlags flags = ui::WidgetOf(d)->windowFlags();
        EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint)) << "never a maximize box";
        EXPECT_EQ(flags.testFlag(Qt::WindowMinimizeButtonHint), c.minimize);
        EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
        EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
        ASSERT_EQ(static_cast<int>(d.SystemMenu().Items().size()), c.menuItems);
        EXPECT_EQ(d.SystemMenu().Items().back().command, static_cast<int>(ui::kScClose));
        EXPECT_EQ(d.SystemMenu().Items().back().text, "Close");
        if (c.minimize) {
            EXPECT_EQ(d.SystemMenu().Items().front().text, "Minimize");
        }
        EXPECT_FALSE(ui::WidgetOf(d)->isVisible()) << "no visible style: Create does not show it";
    }
    EXPECT_TRUE(ui::WidgetOf(dlg)->isVisible()) << "visible style: shown once created";
}

TEST_F(ControlsTest, ControlsHaveTheirKindsAndStyles) {
    EXPECT_NE(Item<QLabel>(dlg, kLabel), nullptr);
    EXPECT_TRUE(Item<QLabel>(dlg, kLabel)->alignment().testFlag(Qt::AlignLeft));
    QLabel* right = Item<QLabel>(dlg, kRightLabel);
    ASSERT_NE(right, nullptr);
    EXPECT_TRUE(right->alignment().testFlag(Qt::AlignRight));
    EXPECT_EQ(right->frameShadow(), QFrame::Sunken);

    QLineEdit* number = Item<QLineEdit>(dlg, kNumberEdit);
    ASSERT_NE(number, nullptr);
    EXPECT_TRUE(number->hasFrame());
    EXPECT_EQ(number->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(Item<QLineEdit>(dlg, kPasswordEdit)->echoMode(), QLineEdit::Password);
    QTest::keyClicks(number, "12a-3 4");
    EXPECT_EQ(dlg.GetDlgItemText(kNumberEdit), "1234") << "a number edit takes digits only";

    QPushButton* go = Item<QPushButton>(dlg, kGo);
    ASSERT_NE(go, nullptr);
    EXPECT_TRUE(go->isDefault());
    EXPECT_FALSE(Item<QPushButton>(dlg, kOther)->isDefault());
    EXPECT_NE(Item<QCheckBox>(dlg, kCheck), nullptr);
    EXPECT_NE(Item<QComboBox>(dlg, kCombo), nullptr);
    EXPECT_NE(Item<QTreeWidget>(dlg, kList), nullptr);
    EXPECT_FALSE(dlg.HasItem(4242));
    EXPECT_EQ(ui::ItemWidgetOf(dlg, 4242), nullptr);

    // Visible and disabled styles; a disabled picture still draws its picture.
    EXPECT_FALSE(dlg.IsItemVisible(kHidden));
    EXPECT_FALSE(dlg.IsItemEnabled(kHidden));
    EXPECT_TRUE(dlg.IsItemVisible(kGo));
    EXPECT_TRUE(dlg.IsItemEnabled(kGo));
    EXPECT_FALSE(dlg.IsItemEnabled(kBitmap));
    EXPECT_TRUE(ui::ItemWidgetOf(dlg, kBitmap)->isEnabled());
    dlg.EnableItem(kGo, false);
    EXPECT_FALSE(go->isEnabled());
    EXPECT_FALSE(dlg.IsItemEnabled(kGo));
    dlg.ShowItem(kHidden, true);
    EXPECT_TRUE(dlg.IsItemVisible(kHidden));

    // The automatic check box toggles itself on a click anywhere in its rectangle.
    QCheckBox* check = Item<QCheckBox>(dlg, kCheck);
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(check->width() - 3, check->height() / 2));
    EXPECT_EQ(dlg.GetCheck(kCheck), 1);
    dlg.SetCheck(kCheck, 0);
    EXPECT_FALSE(check->isChecked());
}

TEST_F(ControlsTest, TabOrderFollowsTheTemplateThroughTabStops) {
    QWidget* window = ui::WidgetOf(dlg);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    EXPECT_EQ(window->focusWidget(), FocusTarget(dlg, kNumberEdit)) << "the first tab stop has the focus";
    const int order[] = {kPasswordEdit, kCheck, kCombo, kList, kIp, kGo, kOther, kNumberEdit};
    for (int id : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), FocusTarget(dlg, id)) << "after Tab expected " << id;
    }
}

TEST_F(ControlsTest, WindowCodePageTextsShowAsUnicodeAndReadBackUnchanged) {
    const struct {
        const char* local;
        QString shown;
    } cases[] = {
        {"\xC9\xE3\xCF\xF1\xBB\xFA", QStringLiteral(u"摄像机")}, // GBK
        {"Schl\xA8\xB9ssel", QStringLiteral(u"Schlüssel")},      // GBK's ü
        {"\xA2\xE3 \x94\x39\xFC\x36", QStringLiteral(u"€ 😀")},   // two- and four-byte GB18030
        {"plain", QStringLiteral("plain")},
    };
    for (const auto& c : cases) {
        dlg.SetWindowText(c.local);
        EXPECT_EQ(ui::WidgetOf(dlg)->windowTitle(), c.shown);
        EXPECT_EQ(dlg.GetWindowText(), c.local);
        for (int id : {kRightLabel, kPasswordEdit, kCheck, kGo}) {
            dlg.SetDlgItemText(id, c.local);
            EXPECT_EQ(dlg.GetDlgItemText(id), c.local) << id;
        }
        EXPECT_EQ(Item<QLabel>(dlg, kRightLabel)->text(), c.shown);
        EXPECT_EQ(Item<QLineEdit>(dlg, kPasswordEdit)->text(), c.shown);
        EXPECT_EQ(Item<QPushButton>(dlg, kGo)->text(), c.shown);
    }

    // A byte that starts no character shows as U+FFFD; the rest survives.
    dlg.SetDlgItemText(kRightLabel, "a\xFF"
                                    "b");
    EXPECT_EQ(Item<QLabel>(dlg, kRightLabel)->text(), QStringLiteral(u"a\uFFFDb"));
    // Typed Unicode reads back in the window code page.
    QLineEdit* password = Item<QLineEdit>(dlg, kPasswordEdit);
    password->clear();
    Commit(password, QStringLiteral(u"密码ü"));
    EXPECT_EQ(dlg.GetDlgItemText(kPasswordEdit), "\xC3\xDC\xC2\xEB\xA8\xB9");
}

TEST_F(ControlsTest, StaticPrefixesAndButtonMnemonics) {
    EXPECT_EQ(Item<QLabel>(dlg, kLabel)->text(), "Name label") << "a single '&' marks a mnemonic";
    EXPECT_EQ(dlg.GetDlgItemText(kLabel), "Name &label") << "the window text is kept as set";
    dlg.SetDlgItemText(kLabel, "R&&D");
    EXPECT_EQ(Item<QLabel>(dlg, kLabel)->text(), "R&D");
    EXPECT_EQ(Item<QLabel>(dlg, kRightLabel)->text(), "A&&B") << "no-prefix static shows '&' as is";
    EXPECT_EQ(Item<QCheckBox>(dlg, kCheck)->text(), "&Check") << "Qt's own mnemonic, as on the original";
    EXPECT_EQ(Item<QLabel>(dlg, kLabel)->textFormat(), Qt::PlainText)
        << "markup in a text is shown, not parsed";
}

TEST_F(ControlsTest, LimitTextCountsWindowCodePageBytes) {
    QLineEdit* edit = Item<QLineEdit>(dlg, kPasswordEdit);
    dlg.LimitText(kPasswordEdit, 5);
    QTest::keyClicks(edit, "abcdefg");
    EXPECT_EQ(dlg.GetDlgItemText(kPasswordEdit), "abcde");
    edit->clear();
    for (const QChar c : QStringLiteral(u"中文字"))
        Commit(edit, QString(c));
    EXPECT_EQ(dlg.GetDlgItemText(kPasswordEdit), "\xD6\xD0\xCE\xC4")
        << "two characters of two bytes fit in five";
    dlg.LimitText(kNumberEdit, 3);
    QTest::keyClicks(Item<QLineEdit>(dlg, kNumberEdit), "12x345");
    EXPECT_EQ(dlg.GetDlgItemText(kNumberEdit), "123") << "the limit keeps the digits-only rule";
}

TEST_F(ControlsTest, DataExchangeMovesValuesBothWays) {
    ui::ComboBox combo = dlg.Combo(kCombo);
    combo.AddString("zero");
    combo.AddString("one");
    dlg.numberText = "8080";
    dlg.check = 1;
    dlg.comboIndex = 1;
    dlg.UpdateData(false);
    EXPECT_EQ(Item<QLineEdit>(dlg, kNumberEdit)->text(), "8080");
    EXPECT_TRUE(Item<QCheckBox>(dlg, kCheck)->isChecked());
    EXPECT_EQ(Item<QComboBox>(dlg, kCombo)->currentIndex(), 1);

    Item<QLineEdit>(dlg, kNumberEdit)->setText("81");
    Item<QCheckBox>(dlg, kCheck)->setChecked(false);
    Item<QComboBox>(dlg, kCombo)->setCurrentIndex(-1);
    EXPECT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.numberText, "81");
    EXPECT_EQ(dlg.check, 0);
    EXPECT_EQ(dlg.comboIndex, -1);
}

TEST_F(ControlsTest, ListColumnsRowsItemDataAndSelection) {
    ui::ListView list = dlg.List(kList);
    auto* tree = Item<QTreeWidget>(dlg, kList);
    EXPECT_EQ(list.GetStyle() & ui::ListView::kViewMask, ui::ListView::kList) << "a new list is in list view";
    EXPECT_TRUE(tree->isHeaderHidden());
    list.SetStyle((list.GetStyle() & ~ui::ListView::kViewMask) | ui::ListView::kReport |
                  ui::ListView::kShowSelAlways);
    list.SetExtendedStyle(ui::ListView::kFullRowSelect, ui::ListView::kFullRowSelect);
    EXPECT_FALSE(tree->isHeaderHidden()) << "the report view shows its headers";
    EXPECT_EQ(tree->selectionMode(), QAbstractItemView::ExtendedSelection) << "several rows selectable";
    EXPECT_EQ(tree->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list.GetExtendedStyle(), ui::ListView::kFullRowSelect);

    EXPECT_EQ(list.InsertColumn(0, "Model", 60), 0);
    EXPECT_EQ(list.InsertColumn(1, "IP", 200), 1);
    EXPECT_EQ(list.InsertColumn(1, "\xC3\xFB\xB3\xC6", 120), 1) << "insert between: later columns move right";
    EXPECT_EQ(list.InsertColumn(9, "P2P", 90), 3) << "past the end appends";
    const struct {
        const char* text;
        int width;
    } columns[] = {{"Model", 60}, {"\xC3\xFB\xB3\xC6", 120}, {"IP", 200}, {"P2P", 90}};
    ASSERT_EQ(list.GetColumnCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(list.GetColumnText(i), columns[i].text);
        EXPECT_EQ(list.GetColumnWidth(i), columns[i].width) << "pixel widths, whatever the font";
        EXPECT_EQ(tree->header()->sectionSize(i), columns[i].width);
    }
    EXPECT_EQ(tree->headerItem()->text(1), QStringLiteral(u"名称"));

    int records[3] = {};
    for (int row = 0; row < 3; ++row) {
        ASSERT_EQ(list.InsertItem(row, "H"), row);
        EXPECT_TRUE(list.SetItemText(row, 2, "10.0.0." + std::to_string(row)));
        EXPECT_TRUE(list.SetItemData(row, &records[row]));
    }
    EXPECT_EQ(list.InsertItem(0, "first"), 0) << "a row inserted at the top moves the others down";
    EXPECT_FALSE(list.SetItemText(0, 4, "no such column"));
    EXPECT_FALSE(list.SetItemText(7, 0, "no such row"));
    ASSERT_EQ(list.GetItemCount(), 4);
    EXPECT_EQ(list.GetItemText(0, 0), "first");
    EXPECT_EQ(list.GetItemData(0), nullptr);
    EXPECT_EQ(list.GetItemText(3, 2), "10.0.0.2");
    EXPECT_EQ(list.GetItemData(3), &records[2]) << "item data follows its row";
    EXPECT_EQ(tree->topLevelItem(1)->text(2), "10.0.0.0");
    EXPECT_EQ(list.GetItemData(9), nullptr);

    EXPECT_EQ(list.GetNextSelectedItem(-1), -1);
    list.SetItemSelected(3, true);
    list.SetItemSelected(1, true);
    EXPECT_EQ(list.GetNextSelectedItem(-1), 1) << "from -1: the lowest selected row";
    EXPECT_EQ(list.GetNextSelectedItem(1), 3);
    EXPECT_EQ(list.GetNextSelectedItem(3), -1);

    // The user extends the selection with Ctrl+click on a real row.
    const QPoint row0(10, tree->visualItemRect(tree->topLevelItem(0)).center().y());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::ControlModifier, row0);
    EXPECT_EQ(list.GetNextSelectedItem(-1), 0);
    EXPECT_EQ(list.GetNextSelectedItem(0), 1);

    list.DeleteAllItems();
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(list.GetColumnCount(), 4) << "columns stay";
    EXPECT_EQ(records[0], 0) << "the list never touches item data";

    list.SetStyle(list.GetStyle() | ui::ListView::kSingleSel);
    EXPECT_EQ(tree->selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(ControlsTest, ListReportsDoubleAndRightClicks) {
    std::vector<std::string> events;
    dlg.OnDblClk(kList,
                 [&] { events.push_back("dbl:" + std::to_string(dlg.List(kList).GetNextSelectedItem(-1))); });
    dlg.OnRClick(kList,
                 [&] { events.push_back("r:" + std::to_string(dlg.List(kList).GetNextSelectedItem(-1))); });
    ui::ListView list = dlg.List(kList);
    list.SetStyle(ui::ListView::kReport);
    list.InsertColumn(0, "A", 100);
    list.InsertItem(0, "row0");
    list.InsertItem(1, "row1");
    auto* tree = Item<QTreeWidget>(dlg, kList);
    const QPoint row1(10, tree->visualItemRect(tree->topLevelItem(1)).center().y());

    // A real double-click: press and release, then the double-click in place of the second press.
    const auto doubleClick = [&](QPoint pos) {
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, pos);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, pos);
    };
    doubleClick(row1);
    // A right-click reaches the list as the context-menu event the window system derives from it.
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, row1, tree->viewport()->mapToGlobal(row1));
    QApplication::sendEvent(tree->viewport(), &rightClick);
    // Below the rows: still the list's double-click; the press has cleared the selection.
    const QPoint empty(5, tree->viewport()->height() - 3);
    doubleClick(empty);
    EXPECT_EQ(events, (std::vector<std::string>{"dbl:1", "r:1", "dbl:-1"}));
}

TEST_F(ControlsTest, ComboAddsWithoutSelectingAndReportsOnlyTheUsersChanges) {
    int changes = 0;
    dlg.OnSelChange(kCombo, [&] { ++changes; });
    ui::ComboBox combo = dlg.Combo(kCombo);
    EXPECT_EQ(combo.AddString("English"), 0);
    EXPECT_EQ(combo.AddString("\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4"), 1); // "简体中文"
    EXPECT_EQ(combo.AddString("Polski"), 2);
    EXPECT_EQ(combo.GetCount(), 3);
    EXPECT_EQ(combo.GetCurSel(), -1) << "adding selects nothing";
    EXPECT_EQ(combo.GetLBText(1), "\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4");
    EXPECT_EQ(Item<QComboBox>(dlg, kCombo)->itemText(1), QStringLiteral(u"简体中文"));
    EXPECT_EQ(combo.GetLBText(3), "");
    combo.SetCurSel(0);
    EXPECT_EQ(changes, 0) << "the program's own selection is no change notification";
    QTest::keyClick(Item<QComboBox>(dlg, kCombo), Qt::Key_Down);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_EQ(dlg.GetDlgItemText(kCombo), "\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4");
    combo.SetCurSel(7);
    EXPECT_EQ(combo.GetCurSel(), -1) << "an index out of range clears the selection";
    EXPECT_FALSE(Item<QComboBox>(dlg, kCombo)->isEditable());
}

TEST_F(ControlsTest, IpAddressFieldsByteOrderBlanksAndTyping) {
    ui::IpAddressCtrl ip = dlg.IpAddress(kIp);
    const unsigned char bytes[4] = {192, 168, 1, 20}; // as the address lies in network byte order
    std::uint32_t addr = 0;
    std::memcpy(&addr, bytes, 4);
    ip.SetAddress(addr);
    EXPECT_EQ(ip.GetFields(), (std::array<int, 4>{192, 168, 1, 20}));
    EXPECT_EQ(dlg.GetDlgItemText(kIp), "192.168.1.20");
    ip.SetAddress(0xFFFFFFFFu);
    EXPECT_EQ(ip.GetFields(), (std::array<int, 4>{255, 255, 255, 255}));

    ip.SetFieldText(1, "");
    EXPECT_TRUE(ip.IsFieldBlank(1));
    EXPECT_FALSE(ip.IsFieldBlank(0));
    EXPECT_EQ(ip.GetFields(), (std::array<int, 4>{255, 0, 255, 255})) << "a blank field reads 0";
    ip.SetFieldText(2, "300");
    ip.SetFieldText(3, "12x");
    EXPECT_EQ(ip.GetFields(), (std::array<int, 4>{255, 0, 255, 12})) << "above 255 becomes 255";
    ip.ClearAddress();
    for (int f = 0; f < 4; ++f)
        EXPECT_TRUE(ip.IsFieldBlank(f));

    // Typing: a dot or a third digit moves on, and a value above 255 is cut to 255.
    QWidget* window = ui::WidgetOf(dlg);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    // Each key goes where the focus is when it is pressed, as a user's keys do.
    const auto type = [](const char* keys) {
        for (const char* k = keys; *k != '\0'; ++k)
            QTest::keyClick(QApplication::focusWidget(), *k);
    };
    FocusTarget(dlg, kIp)->setFocus();
    type("10.0.1927");
    EXPECT_EQ(ip.GetFields(), (std::array<int, 4>{10, 0, 192, 7}));
    ip.ClearAddress();
    FocusTarget(dlg, kIp)->setFocus();
    type("999.1.2.3");
    EXPECT_EQ(ip.GetFields(), (std::array<int, 4>{255, 1, 2, 3}));
    EXPECT_EQ(dlg.GetDlgItemText(kIp), "255.1.2.3");

    dlg.EnableItem(kIp, false);
    EXPECT_FALSE(dlg.IsItemEnabled(kIp));
    EXPECT_EQ(ip.GetFields(), (std::array<int, 4>{255, 1, 2, 3})) << "a disabled control still reads";
}

TEST_F(ControlsTest, ControlObjectsOutliveTheWindowHarmlessly) {
    ui::ListView list = dlg.List(kList);
    list.InsertColumn(0, "A", 50);
    list.InsertItem(0, "kept");
    dlg.EndDialog(ui::kIdOk);
    EXPECT_FALSE(dlg.IsCreated());
    EXPECT_EQ(list.GetItemText(0, 0), "kept") << "an ended dialog's controls can still be read";
    {
        RecordingDialog gone(SampleTemplate());
        gone.Create();
        ui::ListView orphan = dlg.List(4242); // no such control: acts on nothing
        EXPECT_EQ(orphan.InsertItem(0, "x"), -1);
        EXPECT_EQ(orphan.GetNextSelectedItem(-1), -1);
        EXPECT_EQ(dlg.Combo(kList).GetCount(), 0) << "a control of another kind is no combo";
    }
}

TEST_F(ControlsTest, FaceColourIconAndAPicture) {
    QWidget* window = ui::WidgetOf(dlg);
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(241, 240, 240));
    dlg.SetIcon(kIconImage, true);
    dlg.SetIcon(kIconImage, false);
    EXPECT_FALSE(window->windowIcon().isNull());

    ui::ListView list = dlg.List(kList);
    list.SetStyle(ui::ListView::kReport | ui::ListView::kShowSelAlways);
    list.InsertColumn(0, "\xC9\xE8\xB1\xB8", 60); // "设备"
    list.InsertColumn(1, "IP", 100);
    list.InsertItem(0, "H");
    list.SetItemText(0, 1, "10.0.0.2:80");
    dlg.Combo(kCombo).AddString("\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4");
    dlg.Combo(kCombo).SetCurSel(0);
    dlg.IpAddress(kIp).SetAddress(0xFFFFFFFFu);
    dlg.SetDlgItemText(kLabel, "\xD3\xEF\xD1\xD4 Schl\xA8\xB9ssel"); // "语言 Schlüssel"

    const QImage shot = window->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), window->size() * shot.devicePixelRatio());
    // The face colour shows where no control lies: the bottom-left corner.
    EXPECT_EQ(QColor(shot.pixel(1, shot.height() - 2)), QColor(241, 240, 240));
    // The bitmap shows its pixels, disabled or not.
    const QPoint bitmap = ui::ItemWidgetOf(dlg, kBitmap)->geometry().center() * shot.devicePixelRatio();
    EXPECT_EQ(QColor(shot.pixel(bitmap)), QColor(0xCC, 0x20, 0x20));
    if (const char* dir = std::getenv("TAVLIN_UI_SCREENSHOTS"))
        shot.save(QString::fromLocal8Bit(dir) + QStringLiteral("/ui-layer-sample.png"));
}

} // namespace
} // namespace uitest
