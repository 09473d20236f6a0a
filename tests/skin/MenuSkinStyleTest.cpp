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

QPalette TestPalette() {
    QPalette palette;
    palette.setColor(QPalette::Button, kFace);
    palette.setColor(QPalette::Highlight, kHighlight);
    palette.setColor(QPalette::Shadow, kShadow);
    palette.setColor(QPalette::Dark, QColor(128, 128, 128));
    palette.setColor(QPalette::WindowText, kText);
    return palette;
}

std::unique_ptr<CMenuSkinStyle> MakeStyle(const MenuSkinProfile& profile = {}, int depth = 32) {
    return std::make_unique<CMenuSkinStyle>(profile, depth, QStyleFactory::create("Fusion"));
}

QStyleOptionMenuItem PopupItem(const QString& text = "Ouvrir\tCtrl+O") {
    QStyleOptionMenuItem item;
    item.rect = QRect(0, 0, kItemWidth, kItemHeight);
    item.palette = TestPalette();
    item.state = QStyle::State_Enabled;
    item.menuItemType = QStyleOptionMenuItem::Normal;
    item.checkType = QStyleOptionMenuItem::NotCheckable;
    item.text = text;
    item.font = QApplication::font();
    item.fontMetrics = QFontMetrics(item.font);
    return item;
}

QImage Render(const CMenuSkinStyle& style, const QStyleOptionMenuItem& item,
              QStyle::ControlElement element = QStyle::CE_MenuItem) {
    QImage image(item.rect.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    style.drawControl(element, &item, &painter, nullptr);
    painter.end();
    return image;
}

QColor At(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

QIcon RedIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(kRed);
    return QIcon(pixmap);
}

// Leftmost and rightmost columns holding a pixel much darker than the background.
std::pair<int, int> InkColumns(const QImage& image) {
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

TEST(MenuSkinStyle, DefaultColumnShadesToWhite) {
    const auto style = MakeStyle();
    const QImage image = Render(*style, PopupItem());
    EXPECT_EQ(At(image, 0, 11), QColor(182, 197, 228));
    EXPECT_EQ(At(image, 29, 11), QColor(254, 254, 254));
    EXPECT_EQ(At(image, 30, 0), kWhite);
    EXPECT_EQ(At(image, kItemWidth - 1, kItemHeight - 1), kWhite);
}

TEST(MenuSkinStyle, DerivedColoursShadeFromLightFaceToMenuBackground) {
    MenuSkinProfile profile;
    profile.gradientStart = -1;
    profile.gradientEnd = -1;
    const auto style = MakeStyle(profile);
    const QImage image = Render(*style, PopupItem());
    EXPECT_EQ(At(image, 0, 11), kLightFace);
    EXPECT_EQ(At(image, 29, 11), QColor(243, 242, 239));
    EXPECT_EQ(At(image, 30, 0), kMenuBackground);
}

TEST(MenuSkinStyle, WiderColumnFromProfile) {
    MenuSkinProfile profile;
    profile.gradientWidth = 60;
    const auto style = MakeStyle(profile);
    const QImage image = Render(*style, PopupItem());
    EXPECT_NE(At(image, 45, 0), kWhite);
    EXPECT_EQ(At(image, 60, 0), kWhite);
}

struct FlatRow {
    const char* name;
    bool showGradient;
    int depth;
};

class FlatColumnTest : public ::testing::TestWithParam<FlatRow> {};

TEST_P(FlatColumnTest, TwentyTwoPixelsOfLightFace) {
    MenuSkinProfile profile;
    profile.showGradient = GetParam().showGradient;
    const auto style = MakeStyle(profile, GetParam().depth);
    const QImage image = Render(*style, PopupItem());
    EXPECT_EQ(At(image, 0, 0), kLightFace);
    EXPECT_EQ(At(image, 21, 0), kLightFace);
    EXPECT_EQ(At(image, 22, 0), kMenuBackground);
    EXPECT_EQ(At(image, kItemWidth - 1, 0), kMenuBackground);
}

INSTANTIATE_TEST_SUITE_P(Rows, FlatColumnTest,
                         ::testing::Values(FlatRow{"eight_bit_display", true, 8},
                                           FlatRow{"four_bit_display", true, 4},
                                           FlatRow{"gradient_switched_off", false, 32}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MenuSkinStyle, SelectedItemGradientUnderHighlightFrame) {
    const auto style = MakeStyle();
    QStyleOptionMenuItem item = PopupItem();
    item.state |= QStyle::State_Selected;
    const QImage image = Render(*style, item);
    EXPECT_EQ(At(image, 0, 0), kHighlight);
    EXPECT_EQ(At(image, kItemWidth - 1, kItemHeight - 1), kHighlight);
    EXPECT_EQ(At(image, 0, 11), kHighlight);
    // The gradient runs over the whole item width (75 steps over 200 pixels).
    EXPECT_EQ(At(image, 1, 11), QColor(180, 196, 228));
    EXPECT_EQ(At(image, 100, 1), QColor(217, 225, 241));
}

struct SelectedRow {
    const char* name;
    bool enabled;
    QColor fill;
};

class SelectedFlatTest : public ::testing::TestWithParam<SelectedRow> {};

TEST_P(SelectedFlatTest, FramedFill) {
    MenuSkinProfile profile;
    profile.showGradientSel = false;
    const auto style = MakeStyle(profile);
    QStyleOptionMenuItem item = PopupItem();
    item.state = QStyle::State_Selected;
    if (GetParam().enabled)
        item.state |= QStyle::State_Enabled;
    const QImage image = Render(*style, item);
    EXPECT_EQ(At(image, 0, 5), kHighlight);
    EXPECT_EQ(At(image, kItemWidth - 1, 5), kHighlight);
    EXPECT_EQ(At(image, 1, 1), GetParam().fill);
    EXPECT_EQ(At(image, kItemWidth - 2, kItemHeight - 2), GetParam().fill);
}

INSTANTIATE_TEST_SUITE_P(Rows, SelectedFlatTest,
                         ::testing::Values(SelectedRow{"enabled", true, kHighlightFill},
                                           SelectedRow{"disabled", false, kDisabledHighlight}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MenuSkinStyle, SeparatorLineFromThirtyPixels) {
    const auto style = MakeStyle();
    QStyleOptionMenuItem item = PopupItem(QString());
    item.menuItemType = QStyleOptionMenuItem::Separator;
    item.rect = QRect(0, 0, kItemWidth, 9);
    const QImage image = Render(*style, item);
    EXPECT_EQ(At(image, 29, 4), QColor(254, 254, 254));
    EXPECT_EQ(At(image, 30, 4), kDisabledText);
    EXPECT_EQ(At(image, kItemWidth - 2, 4), kDisabledText);
    EXPECT_EQ(At(image, kItemWidth - 1, 4), kWhite);
    EXPECT_EQ(At(image, 100, 3), kWhite);
    EXPECT_EQ(At(image, 100, 5), kWhite);
}

struct CheckRow {
    const char* name;
    QStyle::State state;
    QColor fill;
};

class CheckBoxTest : public ::testing::TestWithParam<CheckRow> {};

TEST_P(CheckBoxTest, BoxFramedInHighlight) {
    MenuSkinProfile profile;
    profile.showGradientSel = false;
    const auto style = MakeStyle(profile);
    QStyleOptionMenuItem item = PopupItem();
    item.checkType = QStyleOptionMenuItem::NonExclusive;
    item.checked = true;
    item.state = GetParam().state;
    const QImage image = Render(*style, item);
    EXPECT_EQ(At(image, 1, 1), kHighlight);
    EXPECT_EQ(At(image, 19, kItemHeight - 2), kHighlight);
    EXPECT_EQ(At(image, 2, 2), GetParam().fill);
    EXPECT_NE(At(image, 20, 11), kHighlight);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CheckBoxTest,
    ::testing::Values(CheckRow{"plain", QStyle::State_Enabled, kHighlightFill},
                      CheckRow{"selected", QStyle::State_Enabled | QStyle::State_Selected,
                               kCheckedSelectedFill},
                      CheckRow{"disabled", QStyle::State_None, kDisabledHighlight}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MenuSkinStyle, CheckMarkAndRadioDotInMarkArea) {
    const auto style = MakeStyle();
    QStyleOptionMenuItem item = PopupItem();
    item.checked = true;
    for (const auto type : {QStyleOptionMenuItem::NonExclusive, QStyleOptionMenuItem::Exclusive}) {
        item.checkType = type;
        const QImage image = Render(*style, item);
        const QImage mark = image.copy(5, 0, 15, kItemHeight);
        EXPECT_GE(InkColumns(mark).second, 0) << "no mark drawn for type " << type;
        if (type == QStyleOptionMenuItem::Exclusive) {
            EXPECT_EQ(At(image, 12, 11), kText) << "the dot does not cover the centre";
        }
    }
}

struct IconRow {
    const char* name;
    QStyle::State state;
    QPoint iconAt;
    QPoint shadowProbe;
    QColor shadow;
};

class IconTest : public ::testing::TestWithParam<IconRow> {};

TEST_P(IconTest, IconPlacedByState) {
    MenuSkinProfile profile;
    profile.showGradientSel = false;
    const auto style = MakeStyle(profile);
    QStyleOptionMenuItem item = PopupItem();
    item.icon = RedIcon();
    item.state = GetParam().state;
    const QImage image = Render(*style, item);
    const QPoint at = GetParam().iconAt;
    const bool disabled = !(GetParam().state & QStyle::State_Enabled);
    const QColor face = disabled ? kIconShadow : kRed;
    EXPECT_EQ(At(image, at.x(), at.y()), face);
    EXPECT_EQ(At(image, at.x() + 15, at.y() + 15), face);
    EXPECT_NE(At(image, at.x() - 1, at.y() - 1), face);
    if (GetParam().shadow.isValid()) {
        EXPECT_EQ(At(image, GetParam().shadowProbe.x(), GetParam().shadowProbe.y()),
                  GetParam().shadow);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, IconTest,
    ::testing::Values(IconRow{"plain", QStyle::State_Enabled, {3, 3}, {}, {}},
                      IconRow{"selected_raised",
                              QStyle::State_Enabled | QStyle::State_Selected,
                              {2, 2},
                              {19, 19},
                              kHotIconShadow},
                      IconRow{"disabled_silhouette", QStyle::State_None, {3, 3}, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MenuSkinStyle, LabelAtThirtyAndShortcutTwelveFromRight) {
    const auto style = MakeStyle();
    const QImage label = Render(*style, PopupItem("Ouvrir"));
    const auto [labelFirst, labelLast] = InkColumns(label);
    EXPECT_GE(labelFirst, 30);
    EXPECT_LE(labelFirst, 33);

    const QImage both = Render(*style, PopupItem("Ouvrir\tCtrl+O"));
    const auto [first, last] = InkColumns(both);
    EXPECT_EQ(first, labelFirst);
    EXPECT_LE(last, kItemWidth - 13);
    EXPECT_GE(last, kItemWidth - 16);
    EXPECT_LT(labelLast, kItemWidth / 2);
}

TEST(MenuSkinStyle, DefaultItemIsBold) {
    const auto style = MakeStyle();
    QStyleOptionMenuItem item = PopupItem("Ouvrir le dossier");
    const int plainRight = InkColumns(Render(*style, item)).second;
    item.menuItemType = QStyleOptionMenuItem::DefaultItem;
    const int boldRight = InkColumns(Render(*style, item)).second;
    EXPECT_GT(boldRight, plainRight);
}

TEST(MenuSkinStyle, DisabledLabelInDisabledTextColour) {
    const auto style = MakeStyle();
    QStyleOptionMenuItem item = PopupItem("Ouvrir");
    item.state = QStyle::State_None;
    const QImage image = Render(*style, item);
    EXPECT_EQ(InkColumns(image).second, -1) << "a disabled label must not be drawn in black";
    bool found = false;
    for (int x = 30; x < 80 && !found; ++x)
        for (int y = 0; y < kItemHeight && !found; ++y)
            found = At(image, x, y) == kDisabledText;
    EXPECT_TRUE(found);
}

QStyleOptionMenuItem BarItem(QStyle::State state) {
    QStyleOptionMenuItem item = PopupItem("&Fichier");
    item.rect = QRect(0, 0, 60, 20);
    item.state = state;
    return item;
}

TEST(MenuSkinStyle, OpenMenuBarItemFramedWithShadowStrip) {
    const auto style = MakeStyle();
    const QImage image = Render(
        *style, BarItem(QStyle::State_Enabled | QStyle::State_Selected | QStyle::State_Sunken),
        QStyle::CE_MenuBarItem);
    EXPECT_EQ(At(image, 0, 0), kShadow);
    EXPECT_EQ(At(image, 55, 10), kShadow);
    EXPECT_EQ(At(image, 1, 1), kLightFace);
    EXPECT_EQ(At(image, 56, 2), kFace);                  // above the shadow's start
    EXPECT_EQ(At(image, 59, 4), QColor(209, 205, 198));  // fading in: 99 %
    EXPECT_EQ(At(image, 59, 12), QColor(197, 193, 186)); // outer column: 93 %
    EXPECT_EQ(At(image, 56, 12), QColor(165, 162, 156)); // next to the item: 78 %
}

TEST(MenuSkinStyle, HotAndPlainMenuBarItems) {
    const auto style = MakeStyle();
    const QImage hot = Render(*style, BarItem(QStyle::State_Enabled | QStyle::State_Selected),
                              QStyle::CE_MenuBarItem);
    EXPECT_EQ(At(hot, 0, 0), kHighlight);
    EXPECT_EQ(At(hot, 55, 19), kHighlight);
    EXPECT_EQ(At(hot, 1, 1), kHighlightFill);
    EXPECT_EQ(At(hot, 57, 10), kFace);

    const QImage plain = Render(*style, BarItem(QStyle::State_Enabled), QStyle::CE_MenuBarItem);
    EXPECT_EQ(At(plain, 0, 0), kFace);
    EXPECT_EQ(At(plain, 59, 19), kFace);
    const auto [first, last] = InkColumns(plain);
    EXPECT_NEAR((first + last) / 2.0, 28.0, 3.0) << "label not centred in the framed part";
}

TEST(MenuSkinStyle, ItemSizes) {
    const auto style = MakeStyle();
    QStyleOptionMenuItem item = PopupItem("Ouvrir");
    const int h = item.fontMetrics.height();
    const QSize popup = style->sizeFromContents(QStyle::CT_MenuItem, &item, QSize(50, h), nullptr);
    EXPECT_EQ(popup, QSize(50 + 42, std::max(h + 2, 16) + 4));

    item.menuItemType = QStyleOptionMenuItem::Separator;
    EXPECT_EQ(style->sizeFromContents(QStyle::CT_MenuItem, &item, QSize(2, 2), nullptr).height(),
              h / 2 + 2);

    item.menuItemType = QStyleOptionMenuItem::Normal;
    // Label, 6 pixels either side, and the 4-pixel strip right of the highlight frame.
    EXPECT_EQ(style->sizeFromContents(QStyle::CT_MenuBarItem, &item, QSize(40, h), nullptr).width(),
              56);
}

class SkinnedMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        menu.setStyle(style.get());
        menu.setPalette(TestPalette());
        open = menu.addAction(RedIcon(), "&Ouvrir");
        open->setShortcut(QKeySequence("Ctrl+O"));
        menu.addSeparator();
        filters = menu.addAction("Fil&tres");
        all = menu.addAction("A&&Tout");
        sort = menu.addAction("&Tri");
    }

    std::unique_ptr<CMenuSkinStyle> style = MakeStyle();
    QMenu menu;
    QAction* open = nullptr;
    QAction* filters = nullptr;
    QAction* all = nullptr;
    QAction* sort = nullptr;
};

TEST_F(SkinnedMenuTest, GrabbedMenuShowsFrameColumnAndIcon) {
    menu.adjustSize();
    const QImage image = menu.grab().toImage();
    const QRect first = menu.actionGeometry(open);
    const int h = QFontMetrics(menu.font()).height();
    EXPECT_EQ(first.topLeft(), QPoint(3, 3));
    EXPECT_EQ(first.height(), std::max(h + 2, 16) + 4);
    EXPECT_EQ(At(image, 0, 0), kShadow);
    EXPECT_EQ(At(image, 1, 1), kMenuBackground);
    EXPECT_EQ(At(image, 2, 2), kMenuBackground);
    EXPECT_EQ(At(image, image.width() - 1, image.height() - 1), kShadow);
    EXPECT_EQ(At(image, first.x() + 3, first.y() + 3), kRed);
    EXPECT_EQ(At(image, first.x(), first.bottom()), QColor(182, 197, 228));
    EXPECT_EQ(At(image, first.x() + 29, first.bottom()), QColor(254, 254, 254));
}

struct KeyRow {
    const char* name;
    char key;
    int expected; // 0 none, 1 filters, 2 sort
};

class MenuMnemonicKeyTest : public SkinnedMenuTest, public ::testing::WithParamInterface<KeyRow> {};

TEST_P(MenuMnemonicKeyTest, TypedLetterRunsItem) {
    menu.popup(QPoint(10, 10));
    QSignalSpy filtersSpy(filters, &QAction::triggered);
    QSignalSpy sortSpy(sort, &QAction::triggered);
    QSignalSpy allSpy(all, &QAction::triggered);
    QTest::keyClick(&menu, GetParam().key);
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
    CMenuSkin::Install(*app);
    CMenuSkin::Install(*app);
    EXPECT_NE(qobject_cast<CMenuSkinStyle*>(QApplication::style()), nullptr);
    CMenuSkin::Uninstall(*app);
    EXPECT_TRUE(CMenuSkin::IsInstalled());
    EXPECT_NE(qobject_cast<CMenuSkinStyle*>(QApplication::style()), nullptr);
    CMenuSkin::Uninstall(*app);
    EXPECT_FALSE(CMenuSkin::IsInstalled());
    EXPECT_EQ(qobject_cast<CMenuSkinStyle*>(QApplication::style()), nullptr);
    EXPECT_EQ(QApplication::style()->name(), before);

    QWidget window;
    QMenu menu(&window);
    EXPECT_TRUE(CMenuSkinStyle::IsSkinned(&menu));
    CMenuSkin::SetSkinOn(window, false);
    EXPECT_FALSE(CMenuSkin::IsSkinOn(window));
    EXPECT_FALSE(CMenuSkinStyle::IsSkinned(&menu));
}

} // namespace
