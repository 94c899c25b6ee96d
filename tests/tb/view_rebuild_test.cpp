// A view kept up to date change by change shows what a view built afresh shows, whatever mix of
// inserts, moves and deletes reaches the tree through embedded groups and linked sub-items.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include "tb/view.h"
#include "view_fakes.h"

namespace tb {
namespace {

using testing::ChevronView;
using testing::FakeWindow;

using Shape = std::vector<std::pair<const TTBCustomItem*, int>>;

// Every viewer's item and group level, in display order.
Shape ShapeOf(const TTBView& view) {
  Shape shape;
  for (int i = 0; i < view.ViewerCount(); ++i) {
    shape.emplace_back(&view.Viewers(i)->Item(), view.Viewers(i)->GroupLevel());
  }
  return shape;
}

// The item and the groups under it (not through links): where items can be inserted.
void CollectContainers(TTBCustomItem* item, std::vector<TTBCustomItem*>& out) {
  out.push_back(item);
  for (int i = 0; i < item->Count(); ++i) {
    if (item->Items(i)->GetItemStyle() & tbisEmbeddedGroup) {
      CollectContainers(item->Items(i), out);
    }
  }
}

TTBCustomItem* Plain(TTBCustomItem& parent, int index) {
  auto* item = ui::Create<TTBCustomItem>(parent);
  parent.Insert(index, item);
  return item;
}

TTBCustomItem* Group(TTBCustomItem& parent, int index, TTBCustomItem* link) {
  auto* group = ui::Create<TTBGroupItem>(parent);
  group->SetLinkSubitems(link);
  parent.Insert(index, group);
  return group;
}

// A menu with its own items and groups, two groups that show a shared target inline (the
// target holds a group itself), and one of them with items of its own that no view shows.
struct Menu {
  Menu() {
    Plain(*tree, 0);
    Group(*tree, 1, target.get());
    Plain(*tree, 2);
    Group(*tree, 3, target.get());
    Plain(*Group(*tree, 4, nullptr), 0);
    Plain(*tree->Items(1), 0);
    Plain(*target, 0);
    Plain(*Group(*target, 1, nullptr), 0);
    Plain(*target, 2);
    fixed = {tree->Items(1), tree->Items(3), target->Items(1)};
  }
  ui::Owned<TTBCustomItem> tree = ui::New<TTBCustomItem>();
  ui::Owned<TTBCustomItem> target = ui::New<TTBCustomItem>();
  ui::Owned<TTBCustomItem> chevron = ui::New<TTBCustomItem>();
  std::vector<const TTBCustomItem*> fixed;  // kept, so that every case stays reachable
};

TEST(TbViewRebuild, AViewAlwaysEqualsAFreshRebuildOfIt) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    Menu m;
    FakeWindow menuWindow(true), barWindow(false), freshWindow(true);
    ui::Owned<TTBView> menu =
        ui::New<TTBView>(nullptr, m.tree.get(), &menuWindow, false, false, false);
    auto bar = ui::New<ChevronView>(m.tree.get(), &barWindow, m.chevron.get());
    // A submenu that shows the menu's items through its link.
    ui::Owned<TTBCustomItem> linker = ui::New<TTBCustomItem>();
    linker->SetLinkSubitems(m.tree.get());
    ui::Owned<TTBView> linked =
        ui::New<TTBView>(nullptr, linker.get(), &menuWindow, false, false, false);
    std::mt19937 random(seed);
    const auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    for (int step = 0; step < 40; ++step) {
      std::vector<TTBCustomItem*> containers;
      CollectContainers(m.tree.get(), containers);
      CollectContainers(m.target.get(), containers);
      TTBCustomItem* container =
          containers[static_cast<std::size_t>(below(static_cast<int>(containers.size())))];
      const int count = container->Count();
      switch (below(3)) {
        case 0: {  // an item, a group of its own, or a group showing the target (not inside it)
          const int index = below(count + 1);
          const int kind = below(m.target->ContainsItem(container) ? 2 : 3);
          if (kind == 0) Plain(*container, index);
          if (kind == 1) Plain(*Group(*container, index, nullptr), 0);
          if (kind == 2) Group(*container, index, m.target.get());
          break;
        }
        case 1:
          if (count > 1) container->Move(below(count), below(count));
          break;
        default:
          if (count > 0) {
            TTBCustomItem* item = container->Items(below(count));
            if (std::find(m.fixed.begin(), m.fixed.end(), item) != m.fixed.end()) break;
            container->Remove(item);
            ui::Free(item);
          }
      }
      ui::Owned<TTBView> fresh =
          ui::New<TTBView>(nullptr, m.tree.get(), &freshWindow, false, false, false);
      auto freshBar = ui::New<ChevronView>(m.tree.get(), &freshWindow, m.chevron.get());
      ASSERT_EQ(ShapeOf(*menu), ShapeOf(*fresh)) << "seed " << seed << " step " << step;
      ASSERT_EQ(ShapeOf(*linked), ShapeOf(*fresh)) << "seed " << seed << " step " << step;
      ASSERT_EQ(ShapeOf(*bar), ShapeOf(*freshBar)) << "seed " << seed << " step " << step;
    }
  }
}

}  // namespace
}  // namespace tb
