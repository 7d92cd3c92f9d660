#include <memory>
#include <random>
#include <string>
#include <vector>

#include "controls/sf_playlist.h"
#include "tests/controls/control_host.h"

namespace {

using zem::controls::testing::ControlHost;

class PlayListModel : public ControlHost {
protected:
    PlayListModel() { Make(); }
    SFPlayList& Make(const zem::forms::PropertyBag* saved = nullptr) {
        list = Place<SFPlayList>(RECT{0, 0, 200, 300}, saved);
        list->OnPropertyChanged = [this](const std::string& key) { changedKeys.push_back(key); };
        return *list;
    }
    // 28 x the entries of every open group, worked out from the records.
    std::int32_t OpenEntriesHeight() const {
        std::int32_t sum = 0;
        for (const PlayListNode& node : list->Nodes())
            if (node.Expanded) sum += 28 * node.ItemsCount();
        return sum;
    }
    void Press(int x, int y) {
        Advance(1000);  // never a double click
        ControlHost::Press(x, y);
    }
    int OpenGroups() const {
        int open = 0;
        for (const PlayListNode& node : list->Nodes()) open += node.Expanded ? 1 : 0;
        return open;
    }

    std::unique_ptr<SFPlayList> list;
    std::vector<std::string> changedKeys;
};

TEST_F(PlayListModel, AddNodeAcceptsMinusOneOrAnExistingIndexAndOpensOnlyTheNewGroup) {
    list->AddNode("x", 0);
    list->AddNode("x", 1);
    EXPECT_EQ(list->NodesCount(), 0);
    list->AddNode("a");
    ASSERT_EQ(list->NodesCount(), 1);
    EXPECT_TRUE(list->Nodes()[0].Expanded);
    EXPECT_EQ(list->ItemsCount(0), 0);
    list->AddNode("b");
    list->AddNode("c");
    for (int i = 0; i < 4; ++i) list->AddItem(2, "item", "url");
    EXPECT_EQ(list->ExpandedItemsHeight(), 4 * 28);
    list->AddNode("x", 3);  // = NodesCount: refused
    EXPECT_EQ(list->NodesCount(), 3);
    list->AddNode("first", 0);
    EXPECT_EQ(list->NodeText(0), "first");
    EXPECT_TRUE(list->Nodes()[0].Expanded);
    EXPECT_EQ(OpenGroups(), 1);
    EXPECT_EQ(list->ExpandedItemsHeight(), 0);
    EXPECT_EQ(list->NodeText(3), "c");
}

TEST_F(PlayListModel, EntriesOfAClosedGroupCountOnlyOnceItOpens) {
    list->AddNode("closed");
    list->AddNode("open");
    list->AddItem(0, "n", "u");
    EXPECT_EQ(list->ItemsCount(0), 1);
    EXPECT_EQ(list->ExpandedItemsHeight(), 0);
    Press(10, 10);  // opens group 0
    EXPECT_TRUE(list->Nodes()[0].Expanded);
    EXPECT_EQ(list->ExpandedItemsHeight(), 28);
}

TEST_F(PlayListModel, OutOfRangeIndexesAreIgnoredSilently) {
    list->AddNode("g");
    list->AddItem(0, "n0", "u0");
    list->AddItem(0, "n1", "u1", 1);  // = ItemsCount: refused
    list->AddItem(1, "n", "u");
    list->AddItem(-1, "n", "u");
    list->AddItem(0, "n", "u", -2);
    list->RemoveItem(0, 1);
    list->RemoveItem(0, -1);
    list->RemoveNode(1);
    list->ClearItems(5);
    list->SetNodeText(-1, "no");
    list->SetItemURL(0, 1, "no");
    list->SetItemName(1, 0, "no");
    EXPECT_EQ(list->NodesCount(), 1);
    EXPECT_EQ(list->ItemsCount(0), 1);
    struct Read { std::string got; const char* expected; };
    for (const Read& r : {Read{list->NodeText(-1), ""}, Read{list->NodeText(1), ""}, Read{list->NodeText(0), "g"},
                          Read{list->ItemURL(0, 1), ""}, Read{list->ItemURL(0, -1), ""},
                          Read{list->ItemURL(1, 0), ""}, Read{list->ItemURL(0, 0), "u0"},
                          Read{list->ItemName(0, 0), "n0"}, Read{list->ItemName(-1, 0), ""}})
        EXPECT_EQ(r.got, r.expected);
    EXPECT_EQ(list->ItemsCount(-1), 0);
    EXPECT_EQ(list->ItemsCount(1), 0);
}

TEST_F(PlayListModel, IsNodeExistComparesWholeCaptionsExactly) {
    EXPECT_FALSE(list->IsNodeExist(""));
    list->AddNode("电影 Movie");
    EXPECT_TRUE(list->IsNodeExist("电影 Movie"));
    EXPECT_FALSE(list->IsNodeExist("电影 movie"));
    EXPECT_FALSE(list->IsNodeExist("电影 Movie "));
    EXPECT_FALSE(list->IsNodeExist("电影"));
}

TEST_F(PlayListModel, NewRecordsAfterRemovalsStartClean) {
    list->AddNode("a");
    list->AddItem(0, "only", "u");
    Press(10, 40);  // selects the entry
    ASSERT_TRUE(list->Nodes()[0].Items[0].Selected);
    list->RemoveItem(0, 0);
    list->AddItem(0, "new", "u");
    EXPECT_FALSE(list->Nodes()[0].Items[0].Selected);
    EXPECT_FALSE(list->Nodes()[0].Items[0].Hover);
    list->AddNode("b");
    list->AddItem(1, "x", "y");
    list->RemoveNode(0);
    list->AddNode("c");
    EXPECT_EQ(list->ItemsCount(1), 0);
}

TEST_F(PlayListModel, SelectionNumbersStayWhileRecordsMove) {
    list->AddNode("g");
    list->AddItem(0, "one", "u1");
    Press(10, 40);
    ASSERT_EQ(list->SelItemIndex(), 0);
    list->AddItem(0, "zero", "u0", 0);
    EXPECT_FALSE(list->Nodes()[0].Items[0].Selected);
    EXPECT_TRUE(list->Nodes()[0].Items[1].Selected);
    EXPECT_EQ(list->SelNodeIndex(), 0);
    EXPECT_EQ(list->SelItemIndex(), 0);
    list->ClearNodes();
    EXPECT_EQ(list->SelNodeIndex(), 0);
    EXPECT_EQ(list->SelItemIndex(), 0);
    EXPECT_EQ(list->ItemURL(list->SelNodeIndex(), list->SelItemIndex()), "");
    EXPECT_EQ(list->ExpandedItemsHeight(), 0);
}

TEST_F(PlayListModel, OpenEntriesHeightStaysTrueThroughAnyMix) {
    std::mt19937 random(20261210);
    for (int step = 0; step < 2000; ++step) {
        const int node = static_cast<int>(random() % 6) - 1;
        const int item = static_cast<int>(random() % 8) - 1;
        switch (random() % 9) {
            case 0: list->AddNode("g" + std::to_string(step), node); break;
            case 1: list->RemoveNode(node); break;
            case 2: case 3: case 4: list->AddItem(node, "n", "u", item); break;
            case 5: list->RemoveItem(node, item); break;
            case 6: if (step % 5 == 0) list->ClearItems(node); break;
            case 7: if (step % 40 == 0) list->ClearNodes(); break;
            case 8: Press(10, static_cast<int>(random() % 300)); Release(10, 299); break;
        }
        ASSERT_EQ(list->ExpandedItemsHeight(), OpenEntriesHeight()) << "step " << step;
        ASSERT_LE(OpenGroups(), 1);
        const bool fits = list->ContentHeight() <= 300;
        ASSERT_EQ(list->ScrollBarShown(), !fits);
        ASSERT_EQ(list->DrawingWidth(), fits ? 200 : 183);
        if (!fits) {
            ASSERT_EQ(list->ScrollBar().Max(), list->ContentHeight() - 300);
        }
    }
}

// Every write of an entry's property reports its key, also when the indexes
// are refused.
TEST_F(PlayListModel, EntryWritesReportTheirKeyInRangeOrNot) {
    list->AddNode("g");
    list->AddItem(0, "n", "u");
    changedKeys.clear();
    list->SetNodeText(0, "group");
    list->SetNodeText(1, "no");
    list->SetItemURL(0, 0, "url");
    list->SetItemURL(0, 1, "no");
    list->SetItemName(0, 0, "name");
    list->SetItemName(-1, 0, "no");
    EXPECT_EQ(changedKeys, (std::vector<std::string>{"NodeText", "NodeText", "ItemURL", "ItemURL", "ItemName",
                                                     "ItemName"}));
    EXPECT_EQ(list->NodeText(0), "group");
    EXPECT_EQ(list->ItemURL(0, 0), "url");
    EXPECT_EQ(list->ItemName(0, 0), "name");
}

TEST_F(PlayListModel, LooksAreStoredRepaintedAndReported) {
    list->SetBackColor(0x404040);
    list->SetForeColor(0x112233);
    list->SetSelColor(0x80000008);  // a system colour index
    list->SetFontName("微软雅黑");
    list->SetFontSize(12);
    list->SetFontBold(true);
    list->SetFontItalic(true);
    list->SetFontUnderline(true);
    list->SetFontStrikethru(true);
    list->SetFont(zem::forms::StdFont::Create("宋体", 10.5));
    EXPECT_EQ(changedKeys, (std::vector<std::string>{"BackColor", "ForeColor", "SelColor", "FontName", "FontSize",
                                                     "FontBold", "FontItalic", "FontUnderline", "FontStrikethru",
                                                     "Font"}));
    EXPECT_EQ(list->FontSize(), 10);  // 10.5 points read as a whole number
    EXPECT_EQ(list->FontName(), "宋体");
    EXPECT_EQ(list->SelColor(), 0x80000008u);
}

TEST_F(PlayListModel, PropertiesRoundTripWithTheirDefaults) {
    EXPECT_EQ(list->Save().Count(), 0u);
    EXPECT_EQ(list->BackColor(), 0x2E2E2Eu);
    EXPECT_EQ(list->ForeColor(), 0x969696u);
    EXPECT_EQ(list->SelColor(), 0x00B6F8u);
    list->SetBackColor(0x404040);
    list->SetFontSize(14);
    const zem::forms::PropertyBag saved = list->Save();
    EXPECT_EQ(saved.Count(), 2u);
    Make(&saved);
    EXPECT_EQ(list->BackColor(), 0x404040u);
    EXPECT_EQ(list->ForeColor(), 0x969696u);
    EXPECT_EQ(list->FontSize(), 14);
}

}  // namespace
