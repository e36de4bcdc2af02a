#include "export/HtmlExport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "PosixFiles.h"
#include "browse/CatalogFilter.h"
#include "browse/CatalogView.h"
#include "export/ExportTestSupport.h"
#include "export/HtmlPageWriter.h"
#include "support/FakeServices.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

using Texts = std::vector<std::string>;

// Keeps the order of what the user saw and heard, busy cursor included.
class OrderedUserInterface : public ScriptedUserInterface {
public:
    void Beep() override {
        ScriptedUserInterface::Beep();
        events->push_back("beep");
    }
    void ShowMessage(const std::string& text) override {
        ScriptedUserInterface::ShowMessage(text);
        events->push_back("message " + text);
    }
    void ShowError(const std::string& text) override {
        ScriptedUserInterface::ShowError(text);
        events->push_back("error " + text);
    }
    Texts* events = nullptr;
};

// Fails every replacement with one cause, as a folder the user may not write to does.
class RefusingFiles : public PosixFiles {
public:
    Result ReplaceFile(const std::string& path, const std::function<Result(ByteSink&)>&) override {
        paths.push_back(path);
        return Result::Failure("refused", std::make_error_code(std::errc::permission_denied));
    }
    Texts paths;
};

class HtmlExportTest : public ::testing::Test {
protected:
    void SetUp() override { ui_.events = &events_; }

    HtmlExport::Outcome Export(const std::string& documentPath, Files& files) {
        return HtmlExport::OnExportToHtml(documentPath, view_,
                                          {files, shell_, ui_, kWebsite, [this](bool busy) {
                                               events_.push_back(busy ? "busy" : "idle");
                                           }});
    }
    HtmlExport::Outcome Export(const std::string& documentPath) {
        return Export(documentPath, files_);
    }
    std::string PageOf(CatalogList& list) const {
        RecordingSink sink;
        EXPECT_TRUE(HtmlPageWriter(kWebsite).WritePage(CatalogView(list), sink));
        return sink.Bytes();
    }
    std::string In(const std::string& name) const { return (folder_.path() / name).string(); }

    TempFolder folder_{"plumet-export"};
    CatalogList list_;
    CatalogView view_{list_};
    PosixFiles files_;
    RecordingShell shell_;
    OrderedUserInterface ui_;
    Texts events_;
};

TEST_F(HtmlExportTest, AnEmptyListHasNothingToExport) {
    EXPECT_EQ(Export(In("music.plm")), HtmlExport::Outcome::NothingToExport);
    EXPECT_EQ(Export(""), HtmlExport::Outcome::NothingToExport);
    EXPECT_EQ(events_, (Texts(2, "message Nothing to export")));
    EXPECT_TRUE(ui_.dialogs.empty());
    EXPECT_TRUE(shell_.opened.empty());
    EXPECT_FALSE(fs::exists(In("music.html")));
}

TEST_F(HtmlExportTest, ThePageLandsBesideTheCatalogAndOpens) {
    fs::create_directories(In("My.Lists"));
    AppendRows(list_, {{"ABBA", "Waterloo"}, {"Blur", "Song 2"}});
    EXPECT_EQ(Export(In("My.Lists/music.plm")), HtmlExport::Outcome::Opened);
    EXPECT_EQ(ReadBytes(In("My.Lists/music.html")), PageOf(list_));
    EXPECT_EQ(shell_.opened, Texts{In("My.Lists/music.html")});
    EXPECT_EQ(events_, (Texts{"busy", "idle"}));
    EXPECT_TRUE(ui_.dialogs.empty());

    // Again with fewer rows: the same page, overwritten.
    list_.RemoveRow(0);
    EXPECT_EQ(Export(In("My.Lists/music.plm")), HtmlExport::Outcome::Opened);
    EXPECT_EQ(ReadBytes(In("My.Lists/music.html")), PageOf(list_));
    EXPECT_EQ(ReadBytes(In("My.Lists/music.html")).find("ABBA"), std::string::npos);
}

TEST_F(HtmlExportTest, WithAFilterInForceThePageHoldsTheRowsShown) {
    list_.AppendRows({CatalogRow(RowCells{"a", "1", "CD1", "", "", ""}),
                      CatalogRow(RowCells{"b", "2", "CD2", "", "", ""}),
                      CatalogRow(RowCells{"c", "3", "CD1", "", "", ""})});
    CatalogFilter filter(view_, ui_);
    filter.ToggleFilter(kFolderDisk, RowSelection({0}));
    ASSERT_EQ(view_.RowCount(), 2);
    EXPECT_EQ(Export(In("music.plm")), HtmlExport::Outcome::Opened);
    const std::string page = ReadBytes(In("music.html"));
    EXPECT_NE(page.find("<tr><td>a</td><td>1</td></tr>\r\n<tr><td>c</td><td>3</td></tr>\r\n"),
              std::string::npos);
    EXPECT_EQ(page.find("<td>b</td>"), std::string::npos);
}

TEST_F(HtmlExportTest, AnUntitledCatalogAsksWhereThePageGoes) {
    AppendRows(list_, {{"a", "1"}});
    EXPECT_EQ(Export(""), HtmlExport::Outcome::Cancelled);
    ASSERT_EQ(ui_.dialogs.size(), 1u);
    const FileDialogRequest& asked = ui_.dialogs[0];
    EXPECT_EQ(asked.proposedPath, "Untitled.html");
    EXPECT_EQ(asked.startFolder, FileDialogRequest::StartFolder::Documents);
    EXPECT_EQ(asked.defaultSuffix, "html");
    ASSERT_FALSE(asked.filters.empty());
    EXPECT_EQ(asked.filters[0].pattern, "*.html");
    EXPECT_TRUE(events_.empty());
    EXPECT_TRUE(shell_.opened.empty());
    EXPECT_FALSE(fs::exists(".html"));

    ui_.saveChoices.push_back(In("chosen.html"));
    EXPECT_EQ(Export(""), HtmlExport::Outcome::Opened);
    EXPECT_EQ(ReadBytes(In("chosen.html")), PageOf(list_));
    EXPECT_EQ(shell_.opened, Texts{In("chosen.html")});
}

TEST_F(HtmlExportTest, AFailedWriteNamesTheFullPathAndOpensNothing) {
    AppendRows(list_, {{"a", "1"}});
    std::ofstream(In("plain")) << "a file, not a folder";

    EXPECT_EQ(Export(In("plain/music.plm")), HtmlExport::Outcome::WriteFailed);
    EXPECT_EQ(ui_.errors, Texts{"CKorvoDlg::WriteCommaFile()\n" + In("plain/music.html") +
                                " contains an invalid path."});
    EXPECT_EQ(events_.size(), 3u);
    EXPECT_EQ(events_[1], "idle");  // the busy cursor is off before the message shows
    EXPECT_TRUE(shell_.opened.empty());
    EXPECT_EQ(ui_.beeps, 0);
}

TEST_F(HtmlExportTest, AccessDeniedNamesARelativeCatalogsPageInFull) {
    AppendRows(list_, {{"a", "1"}});
    RefusingFiles refusing;
    EXPECT_EQ(Export("lists/music.plm", refusing), HtmlExport::Outcome::WriteFailed);
    const std::string full = (fs::current_path() / "lists/music.html").string();
    EXPECT_EQ(refusing.paths, Texts{full});
    EXPECT_EQ(ui_.errors, Texts{"CKorvoDlg::WriteCommaFile()\nAccess to " + full + " was denied."});
    EXPECT_TRUE(shell_.opened.empty());
}

TEST_F(HtmlExportTest, AShellThatCannotOpenThePageBeepsFirst) {
    AppendRows(list_, {{"a", "1"}});
    shell_.succeed = false;
    EXPECT_EQ(Export(In("music.plm")), HtmlExport::Outcome::OpenFailed);
    EXPECT_EQ(shell_.opened, Texts{In("music.html")});
    EXPECT_EQ(events_, (Texts{"busy", "idle", "beep", "message Unable to execute the file"}));
    EXPECT_EQ(ReadBytes(In("music.html")), PageOf(list_));
}

TEST(HtmlExportCauseTest, AFailureWithoutASystemCauseKeepsItsText) {
    EXPECT_EQ(HtmlExport::CauseText(Result::Failure("the disk is gone"), "/p"), "the disk is gone");
    EXPECT_EQ(HtmlExport::CauseText(Result::Failure(""), "/p"),
              "An unknown error occurred while accessing /p.");
}

}  // namespace
