#include "reports/ReportFixture.h"

#include "grid/ToolBar.h"
#include "platform/plot/Graph.h"
#include "platform/plot/PieChart.h"
#include "platform/plot/RandomSource.h"
#include "platform/plot/Theme.h"
#include "platform/ui/MailComposeViewController.h"
#include "platform/ui/Window.h"
#include "reports/charts/ChartDataController.h"
#include "reports/charts/ChartHostViewController.h"
#include "reports/charts/ChartHostingView.h"
#include "reports/charts/ChartInfo.h"
#include "reports/charts/PieChart.h"
#include "utilities/data/BitManager.h"
#include "utilities/text/LocalizedStrings.h"

#include <QImage>

using reporttest::ReportTest;

namespace {

// Python's email module reading the sent message's one attachment: name, then bytes.
const char* const kReadAttachment = R"(import email, sys
from email import policy
with open(sys.argv[1], 'rb') as f:
    message = email.message_from_binary_file(f, policy=policy.default)
parts = list(message.iter_attachments())
assert len(parts) == 1, len(parts)
sys.stdout.buffer.write((parts[0].get_filename() + '\n').encode())
sys.stdout.buffer.write(parts[0].get_payload(decode=True))
)";

class CloudyDelegate : public KivoAppDelegate {
public:
    bool cloudAvailable() const override { return true; }
};

struct ChartHostTest : ReportTest {
    void SetUp() override
    {
        ReportTest::SetUp();
        platform::plot::RandomSource::seed(3);
        addColumn(QStringLiteral("Item"), TypeConstants::Text);
        addColumn(QStringLiteral("Amount"), TypeConstants::Numeric, false, 0, 2);
        UserTemplate* table = addTable(QStringLiteral("Sales"));
        storeRows(table,
            { { { "Item", "apples" }, { "Amount", 3.0 } },
                { { "Item", "pears" }, { "Amount", 5.0 } },
                { { "Item", "plums" }, { "Amount", 2.0 } } });
        open(table);
    }
    void TearDown() override
    {
        platform::plot::RandomSource::setSource({});
        ReportTest::TearDown();
    }

    ChartHostViewController* show(const QString& type)
    {
        ChartDataController builder(controller.get());
        const QVariantMap definition { { "xaxis", "Item" }, { "yaxis", "Amount" }, { "type", type },
            { "function", LocalizedStrings::Sum() }, { "grouping", LocalizedStrings::None() },
            { "theme", platform::plot::Theme::PlainWhite } };
        auto chart
            = ChartDataController::chartForType(type, builder.buildChart(definition, nullptr));
        auto* screen = new ChartHostViewController();
        navigation->pushViewController(screen, false);
        screen->setPlotItem(chart);
        testsupport::processEvents(20);
        return screen;
    }

    static QImage grabOf(ChartHostViewController* screen)
    {
        ChartHostingView* view = screen->plotItem()->defaultLayerHostingView();
        return view ? view->grab().toImage().convertToFormat(QImage::Format_ARGB32) : QImage();
    }

    static QImage decoded(const QByteArray& png)
    {
        return QImage::fromData(png, "PNG").convertToFormat(QImage::Format_ARGB32);
    }
};

} // namespace

TEST_F(ChartHostTest, ToolbarHasThreeButtonsOrFourWithTheCloud)
{
    ChartHostViewController* screen = show(LocalizedStrings::Bar());
    auto bits = screen->toolBar()->buttonBits();
    ASSERT_TRUE(bits);
    for (unsigned button : { 40u, 12u, 31u })
        EXPECT_TRUE(bits->getBit(button)) << button;
    EXPECT_FALSE(bits->getBit(43));

    CloudyDelegate cloudy;
    ChartHostViewController* second = show(LocalizedStrings::Bar());
    EXPECT_TRUE(second->toolBar()->buttonBits()->getBit(43));
}

TEST_F(ChartHostTest, SavedAndMailedPicturesAreTheScreensChart)
{
    ChartHostViewController* screen = show(LocalizedStrings::Bar());
    const QImage shown = grabOf(screen);
    ASSERT_FALSE(shown.isNull());

    const auto file = documentsFile(QStringLiteral("Sales.png"));
    screen->fileBrowseCompleted(file, nullptr);
    testsupport::processEvents(20);
    EXPECT_EQ(screen->lastSelectedFileName(), file->fullName);
    EXPECT_EQ(decoded(readFile(file->fullName)), shown);
    // The saved-file alert's Open shows the file.
    const auto alerts = platform::ui::AlertView::visibleAlerts();
    ASSERT_EQ(alerts.size(), 1);
    alerts.first()->dismissWithClickedButtonIndex(1, false);
    testsupport::processEvents(20);
    EXPECT_EQ(opened, QStringList { file->fullName });

    screen->mail();
    testsupport::processEvents(20);
    auto* composer = qobject_cast<platform::ui::MailComposeViewController*>(
        screen->presentedViewController() ? screen->presentedViewController()
                                          : navigation->presentedViewController());
    ASSERT_TRUE(composer);
    EXPECT_TRUE(composer->message().to.isEmpty());
    EXPECT_EQ(composer->message().subject, QStringLiteral("Sales"));
    composer->setToRecipients({ QStringLiteral("ana@example.com") });
    composer->send();
    const QString sent = composer->lastSentPath();
    testsupport::processEvents(20);
    int exitCode = -1;
    const QByteArray read
        = testsupport::runTool("python3", { "-c", kReadAttachment, sent }, {}, &exitCode);
    ASSERT_EQ(exitCode, 0);
    const qsizetype newline = read.indexOf('\n');
    EXPECT_EQ(read.left(newline), "chart.png");
    EXPECT_EQ(decoded(read.mid(newline + 1)), shown);
}

TEST_F(ChartHostTest, AResizeDrawsAgainWithTheSameColours)
{
    ChartHostViewController* screen = show(LocalizedStrings::Pie());
    auto chart = std::dynamic_pointer_cast<PieChart>(screen->plotItem());
    ASSERT_TRUE(chart);
    const QList<QColor> colours = chart->prerandomColors();
    const double radius = chart->piePlot()->pieRadius();
    auto* window = platform::ui::Application::shared().keyWindow();
    ASSERT_TRUE(window);
    const QRectF before = window->frame();
    window->setFrame(QRectF(before.topLeft(), QSizeF(before.width() * 0.6, before.height() * 0.6)));
    testsupport::processEvents(40);
    EXPECT_EQ(chart->graphs().size(), 1u);
    EXPECT_EQ(chart->prerandomColors(), colours);
    EXPECT_LT(chart->piePlot()->pieRadius(), radius);
    window->setFrame(before);
}

TEST_F(ChartHostTest, HomeGoesBackAndReleasesTheChart)
{
    ChartHostViewController* screen = show(LocalizedStrings::Line());
    std::weak_ptr<PlotItem> chart = screen->plotItem();
    EXPECT_TRUE(navigation->isNavigationBarHidden());
    screen->home();
    testsupport::processEvents(40);
    EXPECT_EQ(navigation->topViewController(), host);
    EXPECT_TRUE(chart.expired());
    EXPECT_FALSE(navigation->isNavigationBarHidden());
}
