#include "analysis/ui/TShellItemModel.h"
#include "core/FakeVolumes.h"
#include "support/TTempDir.h"

#include <gmock/gmock.h>

#include <QAbstractItemModelTester>

TEST(ShellItemModel, PassesTheModelTesterThroughMovesAndSorting) {
    TFakeVolumes* fake = nullptr;
    TVolumesScope scope(fake);
    TTempDir dir;
    dir.Write("a.txt", std::string(1536 * 1024, 'x'));
    dir.Write("sub/b", "b");
    fake->Volumes = {{dir.Path().string() + "/", Platform::DriveType::Fixed, ""}};
    TShellItemModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QString error;
    ASSERT_TRUE(model.Start(error));
    EXPECT_EQ(model.rowCount(), 1);
    ASSERT_TRUE(model.OpenRow(0, error)) << error.toStdString();
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_TRUE(model.Browser().ShellItem(1).NeedsDetails);
    EXPECT_EQ(model.data(model.index(1, 0)).toString(), "a.txt");
    EXPECT_EQ(model.data(model.index(1, 1)).toString(), "1.512MB");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QString::fromUtf8("占用空间"));
    model.sort(0);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), "sub"); // folders stay first
    ASSERT_TRUE(model.Up(error));
    EXPECT_EQ(model.rowCount(), 1);
}

TEST(ShellItemModel, ReadsDetailsOnlyForRowsAskedOf) {
    TFakeVolumes* fake = nullptr;
    TVolumesScope scope(fake);
    TTempDir dir;
    dir.Write("x", "1");
    dir.Write("y", "2");
    fake->Volumes = {{dir.Path().string() + "/", Platform::DriveType::Fixed, ""}};
    TShellItemModel model;
    QString error;
    ASSERT_TRUE(model.NavigateToText(dir.Path().string().c_str(), error)) << error.toStdString();
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.data(model.index(1, 4)).toString(), "A");
    EXPECT_TRUE(model.Browser().ShellItem(0).NeedsDetails);
    EXPECT_FALSE(model.Browser().ShellItem(1).NeedsDetails);
}
