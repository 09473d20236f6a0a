#include "skin/MenuSkinStyle.h"
#include "ColourPrinter.h"
#include "skin/MenuSkin.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>
#include <QTest>

#include <memory>

namespace {

const QColor kFace(212, 208, 200);
const QColor kHighlight(49, 106, 197);
const QColor kShadow(64, 64, 64);
const QColor kText(0, 0, 0);
// Colours derived from kFace and kHighlight (worked out apart, see HlsTransformTest).
const QColor kLightFace(220, 217, 210);
const QColor kMenuBackground(244, 243, 240);
const QColor kDisabledHighlight(243, 242, 239);
const QColor kHighlightFill(205, 213, 225);
const QColor kCheckedSelectedFill(169, 185, 209);
const QColor kDisabledText(179, 171, 157);
const QColor kIconShadow(163, 154, 137);
const QColor kHotIconShadow(176, 186, 202);
const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);

constexpr int kItemWidth = 200;
constexpr int kItemHeight = 22;

QPalette testPalette() {
    QPalette palette;
    palette.setColor(QPalette::Button, kFace);
    palette.setColor(QPalette::Highlight, kHighlight);
    palette.setColor(QPalette::Shadow, kShadow);
    palette.setColor(QPalette::Dark, QColor(128, 128, 128));
    palette.setColor(QPalette::WindowText, kText);
    return palette;
}

std::unique_ptr<MenuSkinStyle> makeStyle(const MenuSkinProfile& profile = {}, int depth = 32) {
    return std::make_unique<MenuSkinStyle>(profile, depth, QStyleFactory::create("Fusion"));
}

QStyleOptionMenuItem popupItem(const QString& text = "Ouvrir\tCtrl+O") {
    QStyleOptionMenuItem item;
    item.rect = QRect(0, 0, kItemWidth, kItemHeight);
    item.palette = testPalette();
    item.state = QStyle::State_Enabled;
    item.menuItemType = QStyleOptionMenuItem::Normal;
    item.checkType = QStyleOptionMenuItem::NotCheckable;
    item.text = text;
    item.font = QApplication::font();
    item.fontMetrics = QFontMetrics(item.font);
    return item;
}

QImage render(const MenuSkinStyle& style, const QStyleOptionMenuItem& item,
              QStyle::ControlElement element = QStyle::CE_MenuItem) {
    QImage image(item.rect.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    style.drawControl(element, &item, &painter, nullptr);
    painter.end();
    return image;
}

QColor pixelAt(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

QIcon redIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(kRed);
    return QIcon(pixmap);
}

// Leftmost and rightmost columns holding a pixel much darker than the background.
std::pair<int, int> inkColumns(const QImage& image) {
    int first = image.width();
    int last = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 100) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    return {first, last};
}

using Probes = std::vector<std::pair<QPoint, QColor>>;

struct ProbeRow {
    const char* name;
    void (*prepare)(MenuSkinProfile&, QStyleOptionMenuItem&);
    Probes probes;
    int depth = 32;
    QStyle::ControlElement element = QStyle::CE_MenuItem;
};

constexpr auto kSelected = QStyle::State_Enabled | QStyle::State_Selected;

void flatSelection(MenuSkinProfile& profile, QStyleOptionMenuItem& item) {
    profile.showGradientSel = false;
    item.state = kSelected;
}

void checked(QStyleOptionMenuItem& item, QStyle::State state) {
    item.checkType = QStyleOptionMenuItem::NonExclusive;
    item.checked = true;
    item.state = state;
}

void bar(QStyleOptionMenuItem& item, QStyle::State state) {
    item.text = "&Fichier";
    item.rect = QRect(0, 0, 60, 20);
    item.state = state;
}

// clang-format off
const ProbeRow kProbeRows[] = {
    {"default column shades to white", [](MenuSkinProfile&, QStyleOptionMenuItem&) {},
     {{{0, 11}, {182, 197, 228}}, {{29, 11}, {254, 254, 254}}, {{30, 0}, kWhite},
      {{kItemWidth - 1, kItemHeight - 1}, kWhite}}},
    {"derived colours shade from light face to menu background",
     [](MenuSkinProfile& p, QStyleOptionMenuItem&) { p.gradientStart = p.gradientEnd = -1; },
     {{{0, 11}, kLightFace}, {{29, 11}, {243, 242, 239}}, {{30, 0}, kMenuBackground}}},
    {"wider column from the profile",
     [](MenuSkinProfile& p, QStyleOptionMenuItem&) { p.gradientWidth = 60; },
     {{{0, 11}, {181, 196, 228}}, {{60, 0}, kWhite}}},
    {"eight-bit display: flat 22-pixel column", [](MenuSkinProfile&, QStyleOptionMenuItem&) {},
     {{{0, 0}, kLightFace}, {{21, 0}, kLightFace}, {{22, 0}, kMenuBackground}}, 8},
    {"gradient switched off: flat column",
     [](MenuSkinProfile& p, QStyleOptionMenuItem&) { p.showGradient = false; },
     {{{21, 0}, kLightFace}, {{22, 0}, kMenuBackground}}},
    {"selected item: gradient over the whole width under a highlight frame",
     [](MenuSkinProfile&, QStyleOptionMenuItem& i) { i.state = kSelected; },
     {{{0, 0}, kHighlight}, {{kItemWidth - 1, kItemHeight - 1}, kHighlight},
      {{1, 11}, {180, 196, 228}}, {{100, 1}, {217, 225, 241}}}},
    {"selected item, flat fill", flatSelection,
     {{{0, 5}, kHighlight}, {{kItemWidth - 1, 5}, kHighlight}, {{1, 1}, kHighlightFill},
      {{kItemWidth - 2, kItemHeight - 2}, kHighlightFill}}},
    {"selected disabled item, flat fill",
     [](MenuSkinProfile& p, QStyleOptionMenuItem& i) { flatSelection(p, i); i.state = QStyle::State_Selected; },
     {{{0, 5}, kHighlight}, {{1, 1}, kDisabledHighlight}}},
    {"separator line from thirty pixels",
     [](MenuSkinProfile&, QStyleOptionMenuItem& i) {
         i.menuItemType = QStyleOptionMenuItem::Separator;
         i.rect = QRect(0, 0, kItemWidth, 9);
     },
     {{{29, 4}, {254, 254, 254}}, {{30, 4}, kDisabledText}, {{kItemWidth - 2, 4}, kDisabledText},
      {{kItemWidth - 1, 4}, kWhite}, {{100, 3}, kWhite}, {{100, 5}, kWhite}}},
    {"checked box framed in highlight",
     [](MenuSkinProfile& p, QStyleOptionMenuItem& i) { flatSelection(p, i); checked(i, QStyle::State_Enabled); },
     {{{1, 1}, kHighlight}, {{19, kItemHeight - 2}, kHighlight}, {{2, 2}, kHighlightFill}}},
    {"checked and selected box",
     [](MenuSkinProfile& p, QStyleOptionMenuItem& i) { flatSelection(p, i); checked(i, kSelected); },
     {{{1, 1}, kHighlight}, {{2, 2}, kCheckedSelectedFill}}},
    {"icon at 3, 3",
     [](MenuSkinProfile&, QStyleOptionMenuItem& i) { i.icon = redIcon(); },
     {{{3, 3}, kRed}, {{18, 18}, kRed}}},
    {"selected icon raised over its shadow",
     [](MenuSkinProfile& p, QStyleOptionMenuItem& i) { flatSelection(p, i); i.icon = redIcon(); },
     {{{2, 2}, kRed}, {{17, 17}, kRed}, {{19, 19}, kHotIconShadow}}},
    {"disabled icon as a silhouette",
     [](MenuSkinProfile&, QStyleOptionMenuItem& i) { i.icon = redIcon(); i.state = QStyle::State_None; },
     {{{3, 3}, kIconShadow}, {{18, 18}, kIconShadow}}},
    {"open menu bar item framed with a shadow strip",
     [](MenuSkinProfile&, QStyleOptionMenuItem& i) { bar(i, kSelected | QStyle::State_Sunken); },
     {{{0, 0}, kShadow}, {{55, 10}, kShadow}, {{1, 1}, kLightFace}, {{56, 2}, kFace},
      {{59, 4}, {209, 205, 198}}, {{59, 12}, {197, 193, 186}}, {{56, 12}, {165, 162, 156}}},
     32, QStyle::CE_MenuBarItem},
    {"hot menu bar item",
     [](MenuSkinProfile&, QStyleOptionMenuItem& i) { bar(i, kSelected); },
     {{{0, 0}, kHighlight}, {{55, 19}, kHighlight}, {{1, 1}, kHighlightFill}, {{57, 10}, kFace}},
     32, QStyle::CE_MenuBarItem},
};
// clang-format on

TEST(MenuSkinStyle, PixelsOfEachItemKind) {
    for (const ProbeRow& row : kProbeRows) {
        SCOPED_TRACE(row.name);
        MenuSkinProfile profile;
        QStyleOptionMenuItem item = popupItem();
        row.prepare(profile, item);
        const QImage image = render(*makeStyle(profile, row.depth), item, row.element);
        for (const auto& [at, colour] : row.probes)
            EXPECT_EQ(pixelAt(image, at.x(), at.y()), colour) << at.x() << ", " << at.y();
    }
}

TEST(MenuSkinStyle, LabelAtThirtyAndShortcutTwelveFromRight) {
    const auto style = makeStyle();
    const QImage label = render(*style, popupItem("Ouvrir"));
    const auto [labelFirst, labelLast] = inkColumns(label);
    EXPECT_GE(labelFirst, 30);
    EXPECT_LE(labelFirst, 33);

    const QImage both = render(*style, popupItem("Ouvrir\tCtrl+O"));
    const auto [first, last] = inkColumns(both);
    EXPECT_EQ(first, labelFirst);
    EXPECT_LE(last, kItemWidth - 13);
    EXPECT_GE(last, kItemWidth - 16);
    EXPECT_LT(labelLast, kItemWidth / 2);
}

TEST(MenuSkinStyle, DisabledLabelInDisabledTextColour) {
    const auto style = makeStyle();
    QStyleOptionMenuItem item = popupItem("Ouvrir");
    item.state = QStyle::State_None;
    const QImage image = render(*style, item);
    EXPECT_EQ(inkColumns(image).second, -1) << "a disabled label must not be drawn in black";
    bool found = false;
    for (int x = 30; x < 80 && !found; ++x)
        for (int y = 0; y < kItemHeight && !found; ++y)
            found = pixelAt(image, x, y) == kDisabledText;
    EXPECT_TRUE(found);
}

class SkinnedMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_menu.setStyle(m_style.get());
        m_menu.setPalette(testPalette());
        m_open = m_menu.addAction(redIcon(), "&Ouvrir");
        m_open->setShortcut(QKeySequence("Ctrl+O"));
        m_menu.addSeparator();
        m_filters = m_menu.addAction("Fil&tres");
        m_all = m_menu.addAction("A&&Tout");
        m_sort = m_menu.addAction("&Tri");
    }

    std::unique_ptr<MenuSkinStyle> m_style = makeStyle();
    QMenu m_menu;
    QAction* m_open = nullptr;
    QAction* m_filters = nullptr;
    QAction* m_all = nullptr;
    QAction* m_sort = nullptr;
};

TEST_F(SkinnedMenuTest, GrabbedMenuShowsFrameColumnAndIcon) {
    m_menu.adjustSize();
    const QImage image = m_menu.grab().toImage();
    const QRect first = m_menu.actionGeometry(m_open);
    const int h = QFontMetrics(m_menu.font()).height();
    EXPECT_EQ(first.topLeft(), QPoint(3, 3));
    EXPECT_EQ(first.height(), std::max(h + 2, 16) + 4);
    EXPECT_EQ(pixelAt(image, 0, 0), kShadow);
    EXPECT_EQ(pixelAt(image, 2, 2), kMenuBackground);
    EXPECT_EQ(pixelAt(image, image.width() - 1, image.height() - 1), kShadow);
    EXPECT_EQ(pixelAt(image, first.x() + 3, first.y() + 3), kRed);
    EXPECT_EQ(pixelAt(image, first.x(), first.bottom()), QColor(182, 197, 228));
}

struct KeyRow {
    const char* name;
    char key;
    int expected; // 0 none, 1 filters, 2 sort
};

class MenuMnemonicKeyTest : public SkinnedMenuTest, public ::testing::WithParamInterface<KeyRow> {};

TEST_P(MenuMnemonicKeyTest, TypedLetterRunsItem) {
    m_menu.popup(QPoint(10, 10));
    QSignalSpy filtersSpy(m_filters, &QAction::triggered);
    QSignalSpy sortSpy(m_sort, &QAction::triggered);
    QSignalSpy allSpy(m_all, &QAction::triggered);
    QTest::keyClick(&m_menu, GetParam().key);
    EXPECT_EQ(filtersSpy.count(), GetParam().expected == 1 ? 1 : 0);
    EXPECT_EQ(sortSpy.count(), GetParam().expected == 2 ? 1 : 0);
    EXPECT_EQ(allSpy.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, MenuMnemonicKeyTest,
                         ::testing::Values(KeyRow{"t_runs_filtres_first", 't', 1},
                                           KeyRow{"r_runs_nothing", 'r', 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MenuSkin, InstallIsCountedAndSwitchPerWindow) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    const QString before = QApplication::style()->name();
    MenuSkin::install(*app);
    MenuSkin::install(*app);
    EXPECT_NE(qobject_cast<MenuSkinStyle*>(QApplication::style()), nullptr);
    MenuSkin::uninstall(*app);
    EXPECT_TRUE(MenuSkin::isInstalled());
    EXPECT_NE(qobject_cast<MenuSkinStyle*>(QApplication::style()), nullptr);
    MenuSkin::uninstall(*app);
    EXPECT_FALSE(MenuSkin::isInstalled());
    EXPECT_EQ(qobject_cast<MenuSkinStyle*>(QApplication::style()), nullptr);
    EXPECT_EQ(QApplication::style()->name(), before);

    QWidget window;
    QMenu menu(&window);
    EXPECT_TRUE(MenuSkinStyle::isSkinned(&menu));
    MenuSkin::setSkinOn(window, false);
    EXPECT_FALSE(MenuSkin::isSkinOn(window));
    EXPECT_FALSE(MenuSkinStyle::isSkinned(&menu));
}

} // namespace
