// Where exports go and what they are called, on the platform the tests run on.
#include "export/ExportNames.h"
#include "platform/KavrelPlatform.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

using namespace kavrel::exporting;

TEST(ExportNames, NamesEveryFileSystemTakes) {
    const std::pair<std::string, std::string> names[] = {
        {"", "Untitled"},
        {" . ", "Untitled"},
        {"..", "Untitled"},
        {"CON", "CON_"},
        {"lpt1.kit", "lpt1.kit_"},
        {"Aux ", "Aux_"},
        {"COMMON", "COMMON"},
        {"a\tb\x7f", "a_b_"},
        {"tab<>|\"\\", "tab_____"},
        {"Caf\xe9", "Caf\xc3\xa9"},
        {"Caf\xc3\xa9", "Caf\xc3\xa9"},
        {"  Lead", "Lead"},
    };
    for (const auto& [in, out] : names) EXPECT_EQ(safeFileName(in), out) << in;
    EXPECT_EQ(oneShotFileName("Kit: 1.", 8), "Kit_ 1 - Cymbal.wav");
    // A safe name is a name the platform's own paths keep as it is.
    const auto path = std::filesystem::temp_directory_path() / pathFromUtf8("Caf\xc3\xa9 _");
    EXPECT_EQ(path.filename().u8string(), "Caf\xc3\xa9 _");
}

TEST(ExportNames, ExportFolderIsInTheDocumentsFolder) {
#ifdef _WIN32
    const auto documents = kavrel::platform::documentsFolder();
    ASSERT_FALSE(documents.empty());
    EXPECT_TRUE(documents.is_absolute());
    EXPECT_EQ(exportFolder(), documents / "Kavrel Exports");
#else
    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    kavrel::test::setEnvironment("XDG_DOCUMENTS_DIR", "/srv/docs");
    EXPECT_EQ(exportFolder(), std::filesystem::path("/srv/docs/Kavrel Exports"));
    // Only an absolute path names a folder; otherwise the home folder's Documents.
    kavrel::test::setEnvironment("XDG_DOCUMENTS_DIR", "docs");
    kavrel::test::setEnvironment("HOME", "/home/producer");
    EXPECT_EQ(exportFolder(), std::filesystem::path("/home/producer/Documents/Kavrel Exports"));
    kavrel::test::unsetEnvironment("XDG_DOCUMENTS_DIR");
    kavrel::test::setEnvironment("HOME", "");
    EXPECT_TRUE(exportFolder().empty());
    kavrel::test::setEnvironment("HOME", savedHome);
#endif
}
