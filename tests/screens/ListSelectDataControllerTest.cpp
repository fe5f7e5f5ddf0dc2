#include "grid/GridData.h"
#include "grid/ListSelectScreen.h"
#include "grid/RowObject.h"
#include "platform/ui/ViewController.h"
#include "screens/ListImageSelectDataController.h"

#include <gtest/gtest.h>

namespace {

// A list-select screen as its data controller reads it.
class FakeList : public platform::ui::ViewController, public ListSelectScreen {
public:
    std::optional<QStringList> rows() const override { return texts; }
    QString image() const override { return QStringLiteral("one"); }
    QStringList images() const override { return pictures; }
    Handler listSelectHandler() const override { return handler; }

    std::optional<QStringList> texts;
    QStringList pictures;
    Handler handler;
};

} // namespace

TEST(ListSelect, TextsBecomeItemsAndATapGoesToTheHandler)
{
    FakeList list;
    auto controller = std::make_shared<ListSelectDataController>();
    controller->setViewController(&list);
    controller->loadData(nullptr);
    EXPECT_TRUE(controller->rows().isEmpty());

    list.texts = QStringList { "Backup", "Restore", "Résumé" };
    controller->loadData(nullptr);
    ASSERT_EQ(controller->count(), 3);
    EXPECT_EQ(RowObject::record<GridData>(controller->getRowData(2))->Image, "one");
    controller->tapOnDisclosure(1);

    QList<qint64> chosen;
    list.handler = [&](const QVariant& item, qint64 index) {
        EXPECT_EQ(RowObject::record<GridData>(item)->Menu, list.texts->at(index));
        chosen << index;
    };
    controller->tapOnDisclosure(1);
    // A search shows some items; the handler hears of the item's place in the whole list.
    controller->searchData("RESUME");
    ASSERT_EQ(controller->count(), 1);
    controller->tapOnDisclosure(0);
    EXPECT_EQ(chosen, QList<qint64>({ 1, 2 }));
}

TEST(ListSelect, TheImageListGivesEachItemItsOwn)
{
    FakeList list;
    list.texts = QStringList { "A", "B" };
    list.pictures = QStringList { "a", "b" };
    auto controller = std::make_shared<ListImageSelectDataController>();
    controller->setViewController(&list);
    controller->loadData(nullptr);
    ASSERT_EQ(controller->count(), 2);
    EXPECT_EQ(RowObject::record<GridData>(controller->getRowData(1))->Image, "b");
    list.texts = QStringList {};
    controller->loadData(nullptr);
    EXPECT_EQ(controller->count(), 0);
}
