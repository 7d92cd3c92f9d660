// The play list file: written as one line, read back through a save and a
// load, read from the forms other writers give it, bad files that leave the
// list empty and are kept beside before the next save replaces them, and a
// press on an entry that plays it.
#include <sys/resource.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/forms/runtime_error.h"
#include "tests/support/process_namespace.h"
#include "platform/xml/xml_document.h"
#include "tests/mainwindow/main_window_fixture.h"

namespace zem::mainwindow_testing {
namespace {

struct Entry {
    std::string name, url;
    bool operator==(const Entry&) const = default;
};
struct Group {
    std::string name;
    std::vector<Entry> entries;
    bool operator==(const Group&) const = default;
};

std::vector<Group> ListOf(const SFPlayList& list) {
    std::vector<Group> groups;
    for (int i = 0; i < list.NodesCount(); ++i) {
        Group group{list.NodeText(i), {}};
        for (int j = 0; j < list.ItemsCount(i); ++j) group.entries.push_back({list.ItemName(i, j), list.ItemURL(i, j)});
        groups.push_back(std::move(group));
    }
    return groups;
}

void Fill(SFPlayList& list, const std::vector<Group>& groups) {
    for (const Group& group : groups) {
        list.AddNode(group.name);
        for (const Entry& entry : group.entries) list.AddItem(list.NodesCount() - 1, entry.name, entry.url);
    }
}

class PlayListFileTest : public MainWindowFixture {
protected:
    // A fresh window that reads the play list file as it is now.
    Form1& Reopen() {
        forms::DiscardAllForms();
        ResetModules();
        return Open();
    }
    bool Exists(const std::string& relative) const { return std::filesystem::exists(folder.Path() / relative); }
};

TEST_F(PlayListFileTest, TheListIsWrittenAsOneLineAndReadsBackUnchanged) {
    const std::vector<Group> groups = {
        {"A & B <影视>", {{"第1集 \"甲\"", "http://h/play?a=1&b='2'"}, {"第2集", "http://h/2"}}},
        {"没有条目", {}},
        {"", {{"同名", "u"}, {"同名", "u"}}},
    };
    Form1& main = Open();
    Fill(main.SFPlayList1, groups);
    main.SavePlayList(PlayListPath());
    EXPECT_EQ(folder.Read("zemskin/zemplaylist.xml"),
              "<playlist><ul><Class Name=\"A &amp; B &lt;影视>\"/>"
              "<li Name=\"第1集 &quot;甲&quot;\" URL=\"http://h/play?a=1&amp;b='2'\"/>"
              "<li Name=\"第2集\" URL=\"http://h/2\"/></ul>"
              "<ul><Class Name=\"没有条目\"/></ul>"
              "<ul><Class Name=\"\"/><li Name=\"同名\" URL=\"u\"/><li Name=\"同名\" URL=\"u\"/></ul></playlist>");
    EXPECT_EQ(ListOf(Reopen().SFPlayList1), groups);

    // An empty list is an empty root element.
    Form1& again = Reopen();
    again.SFPlayList1.ClearNodes();
    again.SavePlayList(PlayListPath());
    EXPECT_EQ(folder.Read("zemskin/zemplaylist.xml"), "<playlist/>");
    EXPECT_TRUE(ListOf(Reopen().SFPlayList1).empty());
}

// What a strict XML reader (expat, through Python) says of the file: "" when it
// reads it, else its complaint.
std::string StrictReaderComplaint(const std::filesystem::path& file, const std::filesystem::path& answer) {
    const pid_t reader = zem::testing::SpawnProgram(
        {"python3", "-c",
         "import sys, xml.parsers.expat\n"
         "try:\n"
         "    xml.parsers.expat.ParserCreate().Parse(open(sys.argv[1], 'rb').read(), True)\n"
         "    message = ''\n"
         "except Exception as error:\n"
         "    message = str(error) or 'rejected'\n"
         "open(sys.argv[2], 'w').write(message)\n",
         file.string(), answer.string()});
    const std::optional<int> status = reader > 0 ? zem::testing::WaitForExit(reader, 60000) : std::nullopt;
    if (!status || !WIFEXITED(*status) || WEXITSTATUS(*status) != 0) return "the reader did not run";
    std::ifstream said(answer);
    return std::string(std::istreambuf_iterator<char>(said), {});
}

TEST_F(PlayListFileTest, HostileNamesGiveAFileEveryXmlReaderReadsAndASecondSaveTheSameFile) {
    struct Case {
        const char* what;
        std::string name;
        std::string readBack;  // what XML can hold of the name
    };
    const Case cases[] = {
        {"controls", "a\x01" "b\x08" "c\x0B\x0C\x1F" " d\x7F", "abc d\x7F"},
        {"NUL", std::string("before\0after", 12), "beforeafter"},
        {"U+FFFE and U+FFFF", "x\xEF\xBF\xBEy\xEF\xBF\xBFz", "xyz"},
        {"tab, LF, CR and CR LF", "1\t2\n3\r4\r\n5", "1\t2\n3\r4\r\n5"},
        {"markup", "&amp; <b> \"q\" 'a' ]]> &#1;", "&amp; <b> \"q\" 'a' ]]> &#1;"},
        {"CJK and emoji", "第1集 影视 \xF0\x9F\x8E\xAC \xE2\x80\xA8", "第1集 影视 \xF0\x9F\x8E\xAC \xE2\x80\xA8"},
        {"a lone surrogate, an overlong NUL, a stray byte", "s\xED\xA0\x80|\xC0\x80|\xFF",
         "s\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD"},
        {"the last characters XML holds", "\xEF\xBF\xBD\xF4\x8F\xBF\xBF\xED\x9F\xBF",
         "\xEF\xBF\xBD\xF4\x8F\xBF\xBF\xED\x9F\xBF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Form1& main = Reopen();
        main.SFPlayList1.ClearNodes();
        Fill(main.SFPlayList1, {{c.name, {{c.name, "http://h/?" + c.name}}}});
        main.SavePlayList(PlayListPath());
        const std::string saved = folder.Read("zemskin/zemplaylist.xml");
        EXPECT_EQ(StrictReaderComplaint(folder.Path() / "zemskin" / "zemplaylist.xml", folder.Path() / "answer"), "")
            << saved;
        const std::vector<Group> expected = {{c.readBack, {{c.readBack, "http://h/?" + c.readBack}}}};
        Form1& again = Reopen();
        EXPECT_EQ(ListOf(again.SFPlayList1), expected);
        again.SavePlayList(PlayListPath());
        EXPECT_EQ(folder.Read("zemskin/zemplaylist.xml"), saved);
    }
}

TEST_F(PlayListFileTest, FilesOfOtherWritersReadAsTheirGroupsAndBadOnesLeaveTheListEmpty) {
    std::string deep = "<playlist><ul><Class Name=\"g\"/>";
    for (int i = 0; i < 1000; ++i) deep += "<x>";
    for (int i = 0; i < 1000; ++i) deep += "</x>";
    deep += "<li Name=\"n\" URL=\"u\"/></ul></playlist>";
    struct Case {
        const char* name;
        std::optional<std::string> file;  // nothing: no file
        std::vector<Group> groups;
        bool keptBeside;
    };
    const std::vector<Group> one = {{"g", {{"n", "u"}}}};
    const Case cases[] = {
        {"indented, with a declaration and comments",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!-- saved -->\r\n<playlist>\r\n  <ul>\r\n"
         "    <Class Name=\"g\"></Class>\r\n    <li Name=\"n\" URL=\"u\"></li>\r\n  </ul>\r\n</playlist>\r\n",
         one, false},
        {"nested a thousand deep inside a group", deep, one, false},
        {"a group without Class, an entry without URL, text between",
         "<playlist>text<ul><li Name=\"n\" URL=\"u\"/><li Name=\"no address\"/><li URL=\"v\"/></ul>"
         "<group><Class/></group></playlist>",
         {{"", {{"n", "u"}, {"", "v"}}}, {"", {}}}, false},
        {"no file", std::nullopt, {}, false},
        {"empty", "", {}, false},
        {"a foreign root", "<list><ul><Class Name=\"g\"/></ul></list>", {}, true},
        {"truncated", "<playlist><ul><Class Name=\"g\"/><li Name=\"n\" UR", {}, true},
        {"not XML", "\x89PNG\r\n\x1a\n binary", {}, true},
        {"a root nested a thousand deep", std::string(1000 * 4, '<'), {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* name : {"zemskin/zemplaylist.xml", "zemskin/zemplaylist.xml.unreadable"})
            std::filesystem::remove(folder.Path() / name);
        if (c.file) WriteRaw("zemskin/zemplaylist.xml", *c.file);
        Form1& main = Reopen();
        EXPECT_EQ(ListOf(main.SFPlayList1), c.groups);
        EXPECT_TRUE(main.Visible());

        // The exit's save keeps what it could not read beside, under another name.
        main.SavePlayList(PlayListPath());
        EXPECT_EQ(Exists("zemskin/zemplaylist.xml.unreadable"), c.keptBeside);
        if (c.keptBeside) {
            EXPECT_EQ(folder.Read("zemskin/zemplaylist.xml.unreadable"), *c.file);
        }
        EXPECT_EQ(ListOf(Reopen().SFPlayList1), c.groups);
    }
}

TEST_F(PlayListFileTest, AKeptCopyNeverReplacesAnEarlierOneAndASecondSaveKeepsNothingMore) {
    WriteRaw("zemskin/zemplaylist.xml.unreadable", "older");
    WriteRaw("zemskin/zemplaylist.xml", "<playlist>");
    Form1& main = Reopen();
    main.SFPlayList1.AddNode("new");
    main.SavePlayList(PlayListPath());
    main.SavePlayList(PlayListPath());
    EXPECT_EQ(folder.Read("zemskin/zemplaylist.xml.unreadable"), "older");
    EXPECT_EQ(folder.Read("zemskin/zemplaylist.xml.unreadable.1"), "<playlist>");
    EXPECT_FALSE(Exists("zemskin/zemplaylist.xml.unreadable.2"));
    EXPECT_EQ(folder.Read("zemskin/zemplaylist.xml"), "<playlist><ul><Class Name=\"new\"/></ul></playlist>");
}

TEST_F(PlayListFileTest, LargeFilesLoadWhole) {
    // 100 000 entries in 100 groups.
    std::string many = "<playlist>";
    for (int group = 0; group < 100; ++group) {
        many += "<ul><Class Name=\"g" + std::to_string(group) + "\"/>";
        for (int entry = 0; entry < 1000; ++entry) many += "<li Name=\"e\" URL=\"http://h/" + std::to_string(entry) + "\"/>";
        many += "</ul>";
    }
    many += "</playlist>";
    WriteRaw("zemskin/zemplaylist.xml", many);
    Form1& main = Reopen();
    ASSERT_EQ(main.SFPlayList1.NodesCount(), 100);
    EXPECT_EQ(main.SFPlayList1.ItemsCount(99), 1000);
    EXPECT_EQ(main.SFPlayList1.ItemURL(99, 999), "http://h/999");

    // 50 MB in one address.
    const std::string address(50 << 20, 'a');
    WriteRaw("zemskin/zemplaylist.xml", "<playlist><ul><Class Name=\"big\"/><li Name=\"n\" URL=\"" + address +
                                            "\"/></ul></playlist>");
    Form1& big = Reopen();
    ASSERT_EQ(big.SFPlayList1.NodesCount(), 1);
    EXPECT_EQ(big.SFPlayList1.ItemURL(0, 0).size(), address.size());
}

TEST_F(PlayListFileTest, AFailedSaveKeepsThePreviousFileWholeAndTheExitGoesOn) {
    const std::string previous = "<playlist><ul><Class Name=\"old\"/></ul></playlist>";
    WriteRaw("zemskin/zemplaylist.xml", previous);
    Form1& main = Reopen();
    for (int i = 0; i < 50; ++i) main.SFPlayList1.AddNode("a longer list than the file may hold");

    // Files of this process may grow to 200 bytes only: the write beside fails.
    struct rlimit before {};
    getrlimit(RLIMIT_FSIZE, &before);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = before;
    small.rlim_cur = 200;
    setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_THROW(main.SavePlayList(PlayListPath()), forms::RuntimeError);
    ::testing::internal::CaptureStderr();
    ClickAt(main, static_cast<int>(main.ScaleWidth()) - 15, 50);  // the close button
    const std::string said = ::testing::internal::GetCapturedStderr();
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(folder.Read("zemskin/zemplaylist.xml"), previous);
    EXPECT_NE(said.find("the play list was not saved"), std::string::npos);
    EXPECT_TRUE(platform::TrayIcons().empty());
    ASSERT_EQ(launcher.started.size(), 5u);
    EXPECT_EQ(launcher.started[3].first, "cmd.exe /c taskkill /im zemplayer.exe /f");
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path() / "zemskin"))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST_F(PlayListFileTest, PressingAnEntryPlaysItsAddressInThePlayerPage) {
    WriteRaw("zemskin/zemplaylist.xml",
             "<playlist><ul><Class Name=\"g\"/><li Name=\"第1集\" URL=\"http://h/1\"/>"
             "<li Name=\"第2集\" URL=\"http://h/2\"/></ul></playlist>");
    struct Case {
        const char* countdown;  // "/zem.ini" [huangchong]
        bool overlay;
    };
    for (const Case& c : {Case{"0", false}, Case{"1", true}}) {
        SCOPED_TRACE(c.countdown);
        PublishValues(std::string("[huangchong]\r\nhuangchong=") + c.countdown + "\r\n[da]\r\nda=3\r\n");
        Form1& main = Reopen();
        launcher.started.clear();
        const RECT list = ScreenRect(main.SFPlayList1.hWnd());
        main.SetMousePointer(forms::vbSizeWE);
        // The last group read is open: press its second entry.
        desktop.clock().Advance(1000);
        platform::PressButton(MouseButton::Left, list.left + 40, list.top + 28 * 2 + 14);
        EXPECT_EQ(main.W3.LocationURL(), "http://h/2");
        EXPECT_TRUE(main.W3.Visible());
        EXPECT_FALSE(main.Picture1.Visible());  // the player view stays
        EXPECT_EQ(main.vip.Visible(), c.overlay);
        EXPECT_EQ(main.Timer8.Enabled(), c.overlay);
        EXPECT_EQ(main.MousePointer(), forms::vbDefault);
        ASSERT_EQ(launcher.started.size(), 4u);  // the external players
        EXPECT_EQ(launcher.started[0].first, "cmd.exe /c taskkill /im BaiduP2PService.exe /f");
        main.SetMousePointer(forms::vbSizeWE);  // the release over the entry puts the arrow back too
        platform::ReleaseButton(MouseButton::Left, list.left + 40, list.top + 28 * 2 + 14);
        EXPECT_EQ(main.MousePointer(), forms::vbDefault);
        EXPECT_EQ(ListOf(main.SFPlayList1).size(), 1u);  // playing changes nothing in the list
    }
}

TEST(XmlDocument, SelectsByNameAndFreesADocumentNestedAMillionDeep) {
    using platform::xml::XmlDocument;
    XmlDocument document;
    ASSERT_TRUE(document.LoadXml("<a x=\"1\"><b/>t<c y=\"2\"/><b z=\"3\"/></a>"));
    ASSERT_NE(document.SelectSingleNode("a"), nullptr);
    EXPECT_EQ(document.SelectSingleNode("b"), nullptr);
    const auto* root = document.DocumentElement();
    EXPECT_EQ(root->GetAttribute("x"), "1");
    EXPECT_EQ(root->ChildNodes().size(), 4u);
    EXPECT_EQ(root->ChildNodes()[1]->NodeName(), "#text");
    EXPECT_EQ(root->SelectNodes("b").size(), 2u);
    EXPECT_EQ(root->SelectSingleNode("c")->GetAttribute("y"), "2");
    EXPECT_FALSE(root->SelectSingleNode("c")->GetAttribute("x"));

    std::string deep;
    for (int i = 0; i < 1000000; ++i) deep += "<d>";
    for (int i = 0; i < 1000000; ++i) deep += "</d>";
    ASSERT_TRUE(document.LoadXml(deep));
    EXPECT_EQ(document.Xml().size(), deep.size() - 3);  // the innermost is written <d/>
    EXPECT_TRUE(document.LoadXml("<e/>"));
}

}  // namespace
}  // namespace zem::mainwindow_testing
