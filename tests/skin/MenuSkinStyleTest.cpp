#include "skin/MenuSkinStyle.h"
#include "skin/MenuSkin.h"
#include "ui_support/WidgetPixels.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>
#include <QTest>

#include <memory>

namespace {

// clang-format off
const QColor kFace(212, 208, 200), kHighlight(49, 106, 197), kShadow(64, 64, 64);
// Colours the skin derives from kFace and kHighlight (worked out apart, textbook HLS model).
const QColor kLightFace(220, 217, 210), kMenuBackground(244, 243, 240), kDisabledHighlight(243, 242, 239);
const QColor kHighlightFill(205, 213, 225), kCheckedSelectedFill(169, 185, 209), kDisabledText(179, 171, 157);
const QColor kIconShadow(163, 154, 137), kHotIconShadow(176, 186, 202);
const QColor kWhite(255, 255, 255), kRed(255, 0, 0), kColumn(182, 197, 228); // the column's first band
// clang-format on

QPalette testPalette() {
    QPalette palette(kFace);
    palette.setColor(QPalette::Highlight, kHighlight);
    palette.setColor(QPalette::Shadow, kShadow);
    palette.setColor(QPalette::Dark, QColor(128, 128, 128));
    palette.setColor(QPalette::WindowText, Qt::black);
    return palette;
}

std::unique_ptr<MenuSkinStyle> makeStyle(const MenuSkinProfile& profile = {}, int depth = 32) {
    return std::make_unique<MenuSkinStyle>(profile, depth, QStyleFactory::create("Fusion"));
}

// A popup item 200 x 22, enabled, not checkable.
QStyleOptionMenuItem popupItem(const QString& text = "Ouvrir\tCtrl+O") {
    QStyleOptionMenuItem item;
    item.rect = QRect(0, 0, 200, 22);
    item.palette = testPalette();
    item.state = QStyle::State_Enabled;
    item.menuItemType = QStyleOptionMenuItem::Normal;
    item.checkType = QStyleOptionMenuItem::NotCheckable;
    item.text = text;
    item.font = QApplication::font();
    item.fontMetrics = QFontMetrics(item.font);
    return item;
}

// One row more than the item, to see that nothing is painted below it.
QImage draw(const MenuSkinStyle& style, const QStyleOptionMenuItem& item,
            QStyle::ControlElement element = QStyle::CE_MenuItem) {
    QImage image(item.rect.size() + QSize(0, 1), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    style.drawControl(element, &item, &painter, nullptr);
    return image;
}

QIcon redIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(kRed);
    return QIcon(pixmap);
}

constexpr auto kSelected = QStyle::State_Enabled | QStyle::State_Selected;
using Item = QStyleOptionMenuItem;

struct ProbeRow {
    const char* name;
    void (*prepare)(MenuSkinProfile&, Item&);
    std::vector<std::pair<QPoint, QColor>> probes;
    int depth = 32;
    QStyle::ControlElement element = QStyle::CE_MenuItem;
};

void flat(MenuSkinProfile& profile, Item& item) {
    profile.showGradientSel = false;
    item.state = kSelected;
}
void check(Item& item, QStyle::State state) {
    item.checkType = QStyleOptionMenuItem::NonExclusive;
    item.checked = true;
    item.state = state;
}
void bar(Item& item, QStyle::State state) {
    item.text = "&Fichier";
    item.rect = QRect(0, 0, 60, 20);
    item.state = state;
}

// clang-format off
const ProbeRow kProbeRows[] = {
    {"default column shades to white", [](MenuSkinProfile&, Item&) {},
     {{{0, 11}, kColumn}, {{29, 11}, {254, 254, 254}}, {{30, 0}, kWhite}, {{199, 21}, kWhite}}},
    {"derived colours shade from light face to menu background",
     [](MenuSkinProfile& p, Item&) { p.gradientStart = p.gradientEnd = -1; },
     {{{0, 11}, kLightFace}, {{29, 11}, {243, 242, 239}}, {{30, 0}, kMenuBackground}}},
    {"wider column from the profile", [](MenuSkinProfile& p, Item&) { p.gradientWidth = 60; },
     {{{0, 11}, {181, 196, 228}}, {{60, 0}, kWhite}}},
    {"eight-bit display: flat 22-pixel column", [](MenuSkinProfile&, Item&) {},
     {{{0, 0}, kLightFace}, {{21, 0}, kLightFace}, {{22, 0}, kMenuBackground}}, 8},
    {"gradient switched off: flat column", [](MenuSkinProfile& p, Item&) { p.showGradient = false; },
     {{{21, 0}, kLightFace}, {{22, 0}, kMenuBackground}}},
    {"selected: gradient over the whole width in a highlight frame",
     [](MenuSkinProfile&, Item& i) { i.state = kSelected; },
     {{{0, 0}, kHighlight}, {{199, 21}, kHighlight}, {{1, 11}, {180, 196, 228}}, {{100, 1}, {217, 225, 241}}}},
    {"selected, flat fill", flat,
     {{{0, 5}, kHighlight}, {{199, 5}, kHighlight}, {{1, 1}, kHighlightFill}, {{198, 20}, kHighlightFill}}},
    {"selected and disabled, flat fill",
     [](MenuSkinProfile& p, Item& i) { flat(p, i); i.state = QStyle::State_Selected; },
     {{{0, 5}, kHighlight}, {{1, 1}, kDisabledHighlight}}},
    {"separator line from thirty pixels",
     [](MenuSkinProfile&, Item& i) { i.menuItemType = Item::Separator; i.rect = QRect(0, 0, 200, 9); },
     {{{29, 4}, {254, 254, 254}}, {{30, 4}, kDisabledText}, {{198, 4}, kDisabledText},
      {{199, 4}, kWhite}, {{100, 3}, kWhite}, {{100, 5}, kWhite}}},
    {"checked box: highlight frame from (1, 1) to (19, 19) round the fill",
     [](MenuSkinProfile& p, Item& i) { flat(p, i); check(i, QStyle::State_Enabled); },
     {{{0, 11}, kColumn}, {{1, 1}, kHighlight}, {{10, 1}, kHighlight}, {{1, 11}, kHighlight},
      {{19, 19}, kHighlight}, {{2, 2}, kHighlightFill}}},
    {"checked and selected box",
     [](MenuSkinProfile& p, Item& i) { flat(p, i); check(i, kSelected); },
     {{{10, 1}, kHighlight}, {{1, 11}, kHighlight}, {{2, 2}, kCheckedSelectedFill}}},
    {"exclusive check: a dot, not a tick",
     [](MenuSkinProfile& p, Item& i) { flat(p, i); check(i, QStyle::State_Enabled); i.checkType = Item::Exclusive; },
     {{{10, 9}, Qt::black}}},
    {"icon at 3, 3", [](MenuSkinProfile&, Item& i) { i.icon = redIcon(); },
     {{{3, 3}, kRed}, {{18, 18}, kRed}}},
    {"selected icon raised over its shadow",
     [](MenuSkinProfile& p, Item& i) { flat(p, i); i.icon = redIcon(); },
     {{{2, 2}, kRed}, {{17, 17}, kRed}, {{19, 19}, kHotIconShadow}}},
    {"checked and selected icon neither raised nor shadowed",
     [](MenuSkinProfile& p, Item& i) { flat(p, i); check(i, kSelected); i.icon = redIcon(); },
     {{{3, 3}, kRed}, {{18, 18}, kRed}, {{19, 19}, kHighlight}}},
    {"disabled icon as a silhouette",
     [](MenuSkinProfile&, Item& i) { i.icon = redIcon(); i.state = QStyle::State_None; },
     {{{3, 3}, kIconShadow}, {{18, 18}, kIconShadow}}},
    {"open menu bar item framed with a shadow strip",
     [](MenuSkinProfile&, Item& i) { bar(i, kSelected | QStyle::State_Sunken); },
     {{{0, 0}, kShadow}, {{55, 10}, kShadow}, {{1, 1}, kLightFace}, {{56, 2}, kFace},
      {{59, 4}, {209, 205, 198}}, {{59, 12}, {197, 193, 186}}, {{56, 12}, {165, 162, 156}}, {{57, 20}, Qt::magenta}},
     32, QStyle::CE_MenuBarItem},
    {"hot menu bar item", [](MenuSkinProfile&, Item& i) { bar(i, kSelected); },
     {{{0, 0}, kHighlight}, {{55, 19}, kHighlight}, {{1, 1}, kHighlightFill}, {{57, 10}, kFace}},
     32, QStyle::CE_MenuBarItem},
    {"menu bar item at rest: the face only", [](MenuSkinProfile&, Item& i) { bar(i, QStyle::State_Enabled); },
     {{{0, 0}, kFace}, {{1, 1}, kFace}, {{55, 19}, kFace}}, 32, QStyle::CE_MenuBarItem},
};
// clang-format on

TEST(MenuSkinStyleTest, PixelsOfEachItemKind) {
    for (const ProbeRow& row : kProbeRows) {
        SCOPED_TRACE(row.name);
        MenuSkinProfile profile;
        QStyleOptionMenuItem item = popupItem();
        row.prepare(profile, item);
        const QImage image = draw(*makeStyle(profile, row.depth), item, row.element);
        for (const auto& [at, colour] : row.probes)
            EXPECT_EQ(image.pixelColor(at), colour) << at.x() << ", " << at.y();
    }
}

TEST(MenuSkinStyleTest, SkinnedPopupShowsFrameColumnIconAndRunsTheItemATypedLetterMarks) {
    const auto style = makeStyle();
    QMenu menu;
    menu.setStyle(style.get());
    menu.setPalette(testPalette());
    QAction* open = menu.addAction(redIcon(), "&Ouvrir");
    menu.addSeparator();
    QAction* filters = menu.addAction("Fil&tres");
    menu.addAction("A&&Tout");
    menu.addAction("&Tri");
    menu.adjustSize();
    const QImage image = menu.grab().toImage();
    const QRect first = menu.actionGeometry(open);
    EXPECT_EQ(first.topLeft(), QPoint(3, 3));
    EXPECT_EQ(image.pixelColor(0, 0), kShadow);
    EXPECT_EQ(image.pixelColor(2, 2), kMenuBackground);
    EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() - 1), kShadow);
    EXPECT_EQ(image.pixelColor(first.x() + 3, first.y() + 3), kRed);
    EXPECT_EQ(image.pixelColor(first.x(), first.bottom()), kColumn);
    const QRect separator = menu.actionGeometry(menu.actions().at(1));
    EXPECT_LT(separator.height(), first.height() / 2 + 3) << "a separator is half an item";

    const std::pair<char, QAction*> rows[] = {
        {'t', filters}, {'T', filters}, {'o', open}, {'r', nullptr}, {'&', nullptr}};
    for (const auto& [key, expected] : rows) {
        SCOPED_TRACE(key);
        menu.popup(QPoint(10, 10));
        QSignalSpy triggered(&menu, &QMenu::triggered);
        QTest::keyClick(&menu, key);
        ASSERT_EQ(triggered.count(), expected ? 1 : 0);
        if (expected) {
            EXPECT_EQ(triggered[0][0].value<QAction*>(), expected);
        }
        menu.close();
    }
    // Shown one pixel higher than asked while skinned; the plain style leaves it in place.
    for (const bool skinned : {true, false}) {
        if (!skinned)
            menu.setStyle(nullptr);
        menu.popup(QPoint(10, 10));
        EXPECT_EQ(menu.pos().y(), skinned ? 9 : 10);
        menu.close();
    }
}

TEST(MenuSkinStyleTest, APopupMovedRightOfItsBarItemKeepsItsFrameCorner) {
    // The bar starts left of the screen: the popup is moved onto it, right of where the item
    // begins, and the joint with the item is left open only past the popup's own frame.
    const auto style = makeStyle();
    QMenuBar bar;
    bar.setNativeMenuBar(false);
    bar.setStyle(style.get());
    bar.setPalette(testPalette());
    QMenu* menu = bar.addMenu("&Fichier");
    menu->setStyle(style.get());
    menu->setPalette(testPalette());
    menu->addAction("Ouvrir");
    bar.setGeometry(-20, 100, 300, 24);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    bar.setActiveAction(menu->menuAction());
    ASSERT_TRUE(menu->isVisible());
    ASSERT_GT(menu->x(), bar.mapToGlobal(bar.actionGeometry(menu->menuAction()).topLeft()).x() + 2);
    const QImage image = menu->grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 0), kShadow);
    EXPECT_EQ(image.pixelColor(1, 0), kLightFace);
    menu->close();
}

TEST(MenuSkinStyleTest, AWindowWithTheSkinOffGetsThePlainStylesPopups) {
    QWidget window;
    MenuSkin::setSkinOn(window, false);
    const auto skin = makeStyle();
    const std::unique_ptr<QStyle> plain(QStyleFactory::create("Fusion"));
    QImage images[2];
    for (QStyle* style : {static_cast<QStyle*>(skin.get()), plain.get()}) {
        QMenu menu(&window);
        menu.setStyle(style);
        menu.setPalette(testPalette());
        menu.addAction(redIcon(), "&Ouvrir");
        menu.addSeparator();
        menu.addAction("Fil&tres")->setCheckable(true);
        menu.adjustSize();
        images[style == plain.get()] = menu.grab().toImage();
    }
    EXPECT_EQ(images[0], images[1]);
}

TEST(MenuSkinStyleTest, TheLastUninstallBringsThePlainStyleBack) {
    MenuSkin::install(*qApp);
    MenuSkin::install(*qApp);
    MenuSkin::uninstall(*qApp);
    EXPECT_NE(qobject_cast<MenuSkinStyle*>(QApplication::style()), nullptr);
    MenuSkin::uninstall(*qApp);
    EXPECT_EQ(qobject_cast<MenuSkinStyle*>(QApplication::style()), nullptr);
}

} // namespace
