// The package information dialog: loaded modules in load order.
#include <gtest/gtest.h>

#include <QTest>
#include <QTreeWidget>

#include <filesystem>

#include "app/packform.h"

using namespace tcese::app;

TEST(PackageDialog, ListsTheProgramAndItsLibraries) {
    const auto modules = loadedModules();
    ASSERT_GE(modules.size(), 2u);
    EXPECT_EQ(std::filesystem::path(modules[0].path), std::filesystem::read_symlink("/proc/self/exe"));
    // This program needs the Qt widgets library; that library needs Qt's GUI library.
    auto needs = [](const LoadedModule& m, const std::string& prefix) {
        for (const auto& r : m.requires_) {
            if (r.rfind(prefix, 0) == 0) return true;
        }
        return false;
    };
    EXPECT_TRUE(needs(modules[0], "libQt6Widgets.so")) << modules[0].path;
    bool widgetsSeen = false;
    for (const auto& m : modules) {
        if (std::filesystem::path(m.path).filename().string().rfind("libQt6Widgets.so", 0) == 0) {
            widgetsSeen = true;
            EXPECT_TRUE(needs(m, "libQt6Gui.so")) << m.path;
        }
    }
    EXPECT_TRUE(widgetsSeen);

    TFPackage dlg;
    EXPECT_EQ(dlg.windowTitle(), "Package Information");
    EXPECT_EQ(dlg.size(), QSize(379, 413));
    ASSERT_EQ(dlg.tree()->topLevelItemCount(), static_cast<int>(modules.size()));
    for (int i = 0; i < dlg.tree()->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* node = dlg.tree()->topLevelItem(i);
        EXPECT_EQ(node->text(0), QString::fromStdString(modules[static_cast<std::size_t>(i)].path).left(200));
        ASSERT_GE(node->childCount(), 2);
        EXPECT_EQ(node->child(0)->text(0), "Contains");
        EXPECT_EQ(node->child(1)->text(0), "Requires");
        EXPECT_EQ(node->child(1)->childCount(), static_cast<int>(modules[static_cast<std::size_t>(i)].requires_.size()));
    }
}

TEST(PackageDialog, EscapeClosesIt) {
    TFPackage dlg;
    dlg.show();
    ASSERT_TRUE(dlg.isVisible());
    QTest::keyClick(dlg.tree(), Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
}
