#include "platform/recovery/RecoveryFolder.h"

#include <QCoreApplication>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// The autosaves belong with the user's data: a cache or temporary folder may be emptied by the
// system, and a crash is exactly when they are needed.
TEST(RecoveryFolder, IsTheRecoveryFolderInTheUsersDataForTheApplication) {
    ::setenv("XDG_DATA_HOME", "/tmp/zolvane-data-home", 1);
    ::setenv("XDG_CACHE_HOME", "/tmp/zolvane-cache-home", 1);
    QCoreApplication::setOrganizationName(QString());
    QCoreApplication::setApplicationName(QStringLiteral("zolvane-flowchart"));
    const files::TResult<std::string> folder = platform::RecoveryFolder();
    ASSERT_TRUE(folder.ok()) << folder.error();
    EXPECT_EQ(*folder, "/tmp/zolvane-data-home/zolvane-flowchart/recovery");
}

} // namespace
