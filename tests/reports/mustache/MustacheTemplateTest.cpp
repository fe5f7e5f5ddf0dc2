// Templates, repositories and the facade, with the recursion, folder and leak guards.
#include "MustacheTestSupport.h"

#include "platform/Exception.h"
#include "reports/mustache/Mustache.h"
#include "reports/mustache/MustacheError.h"
#include "reports/mustache/MustacheFilter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QUrl>

#include <atomic>

namespace {

void write(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QVariant nestedTree(int depth)
{
    QVariantMap node { { "name", QStringLiteral("n%1").arg(depth) } };
    // Leaves say they have no children, or the lookup would find their parent's.
    node.insert("children", depth > 0 ? QVariantList { nestedTree(depth - 1) } : QVariantList());
    return node;
}

} // namespace

TEST(Mustache, VersionAndStandardLibrary)
{
    const Mustache::Version version = Mustache::version();
    EXPECT_EQ(version.major, 6);
    EXPECT_EQ(version.minor, 9);
    EXPECT_EQ(version.patch, 0);
    const QVariantMap& library = Mustache::standardLibrary();
    EXPECT_EQ(library.keys(),
        QStringList({ "HTML", "URL", "capitalized", "isBlank", "isEmpty", "javascript", "localize",
            "lowercase", "uppercase" }));
    EXPECT_EQ(&library, &Mustache::standardLibrary());
    EXPECT_EQ(render("{{HTML.escape(x)}}", QVariantMap { { "x", "<" } }), "&amp;lt;");
}

TEST(MustacheTemplate, RecursionThroughAPartialOverTreeData)
{
    const QVariantMap partials { { "node", "<{{name}}{{#children}}{{>node}}{{/children}}>" } };
    EXPECT_EQ(renderWithPartials(partials, "node", nestedTree(3)), "<n3<n2<n1<n0>>>>");
}

TEST(MustacheTemplate, SelfIncludingPartialWithoutSectionFailsWithAnError)
{
    platform::Error error;
    EXPECT_EQ(renderWithPartials({ { "self", "x{{>self}}" } }, "self", {}, &error), "");
    EXPECT_EQ(error.code(), MustacheError::RenderingError);
    EXPECT_EQ(error.localizedDescription(),
        "Rendering nested deeper than 256 levels in tag `{{>self}}` at line 1 of template self");
}

TEST(MustacheTemplate, DataNestedTooDeepFailsWithAnError)
{
    const QVariantMap partials { { "node", "{{#children}}\n{{>node}}{{/children}}" } };
    platform::Error error;
    renderWithPartials(partials, "node", nestedTree(1000), &error);
    EXPECT_EQ(error.code(), MustacheError::RenderingError);
    EXPECT_TRUE(error.localizedDescription().startsWith(
        "Rendering nested deeper than 256 levels in tag `"));
    EXPECT_TRUE(error.localizedDescription().endsWith(" of template node"));

    QVariant nested = "x";
    for (int i = 0; i < 1000; ++i)
        nested = QVariantList { nested };
    EXPECT_EQ(
        failure("{{v}}", QVariantMap { { "v", nested } }).code(), MustacheError::RenderingError);
    // Within the limit, nested lists render.
    EXPECT_EQ(
        render("{{v}}", QVariantMap { { "v", QVariantList { QVariantList { "a", "b" }, "c" } } }),
        "abc");
}

TEST(MustacheTemplate, SectionsNestedTooDeepInTheTextAreAParseError)
{
    QString text = "\n\n";
    for (int i = 0; i < 300; ++i)
        text += "{{#a}}";
    const platform::Error error = failure(text);
    EXPECT_EQ(error.code(), MustacheError::ParseError);
    EXPECT_EQ(error.localizedDescription(),
        "Parse error at line 3: Sections nested deeper than 256 levels");
    QString fine;
    for (int i = 0; i < 200; ++i)
        fine += "{{#a}}";
    fine += "x" + QString("{{/a}}").repeated(200);
    EXPECT_EQ(render(fine, QVariantMap { { "a", true } }), "x");
}

TEST(MustacheTemplate, DeepRecursionOnAPoolThreadIsAnErrorToo)
{
    std::atomic<bool> failedCleanly { false };
    QThreadPool pool;
    pool.start([&] {
        platform::Error error;
        renderWithPartials({ { "self", "{{>self}}" } }, "self", {}, &error);
        failedCleanly = error.code() == MustacheError::RenderingError;
    });
    pool.waitForDone();
    EXPECT_TRUE(failedCleanly);
}

TEST(MustacheTemplate, CachedBeforeCompilingAndRemovedOnFailure)
{
    auto repository = MustacheTemplateRepository::templateRepositoryWithDictionary(
        { { "bad", "{{#x}}" }, { "good", "ok" }, { "self", "{{#a}}{{>self}}{{/a}}" } });
    platform::Error error;
    EXPECT_FALSE(repository->templateNamed("bad", &error));
    EXPECT_EQ(error.code(), MustacheError::ParseError);
    EXPECT_FALSE(repository->templateNamed("bad", &error));
    auto good = repository->templateNamed("good", nullptr);
    EXPECT_EQ(good.get(), repository->templateNamed("good", nullptr).get());
    EXPECT_TRUE(repository->templateNamed("self", nullptr));
}

TEST(MustacheTemplate, FailedLoadLeavesNoTemplatePointingAtARemovedOne)
{
    auto repository
        = MustacheTemplateRepository::templateRepositoryWithDictionary({ { "A", "a{{>B}}{{>C}}" },
            { "B", "b{{#deep}}{{>A}}{{/deep}}" }, { "C", "{{#unclosed}}" } });
    EXPECT_FALSE(repository->templateNamed("A", nullptr));
    // B was compiled against the failed A: it is compiled again, against a new A.
    platform::Error error;
    EXPECT_FALSE(repository->templateNamed("B", &error));
    EXPECT_EQ(error.localizedDescription(),
        "Parse error at line 1 of template C: Unclosed {{#unclosed}} section");
}

TEST(MustacheTemplate, RepositoryWithoutDataSourceAndNilNames)
{
    auto repository = MustacheTemplateRepository::templateRepository();
    platform::Error error;
    EXPECT_FALSE(repository->templateNamed("x", &error));
    EXPECT_EQ(error.code(), MustacheError::TemplateNotFound);
    EXPECT_EQ(error.localizedDescription(), "No such template: `x`");
    EXPECT_FALSE(repository->templateNamed(QString(), &error));
    auto compiled = repository->templateFromString("plain {{x}}", &error);
    ASSERT_TRUE(compiled);
    EXPECT_EQ(compiled->renderObject(QVariantMap { { "x", 1 } }, nullptr).value(), "plain 1");
}

TEST(MustacheTemplate, DictionaryRefusesNonStringTemplates)
{
    try {
        MustacheTemplateRepository::templateRepositoryWithDictionary({ { "a", 1 } });
        FAIL();
    } catch (const platform::Exception& e) {
        EXPECT_EQ(e.name(), platform::Exception::InvalidArgument);
        EXPECT_EQ(e.reason(), "Template is not a string: 1");
    }
}

TEST(MustacheTemplate, FromContentsOfFileAndPartialsInItsFolder)
{
    QTemporaryDir dir;
    write(dir.path() + "/report.mustache", "R[{{>header}}][{{>sub/part}}]");
    write(dir.path() + "/header.mustache", "H");
    write(dir.path() + "/sub/part.mustache", "P({{>sibling}}{{>/header}})");
    write(dir.path() + "/sub/sibling.mustache", "S");
    platform::Error error;
    auto compiled
        = MustacheTemplate::templateFromContentsOfFile(dir.path() + "/report.mustache", &error);
    ASSERT_TRUE(compiled) << error.localizedDescription().toStdString();
    EXPECT_EQ(compiled->renderObject({}, nullptr).value(), "R[H][P(SH)]");
    auto fromURL = MustacheTemplate::templateFromContentsOfURL(
        QUrl::fromLocalFile(dir.path() + "/report.mustache"), &error);
    ASSERT_TRUE(fromURL) << error.localizedDescription().toStdString();
    EXPECT_EQ(fromURL->renderObject({}, nullptr).value(), "R[H][P(SH)]");
}

TEST(MustacheTemplate, FolderRepositoriesNeverReadOutsideTheirFolder)
{
    QTemporaryDir dir;
    write(dir.path() + "/secret.mustache", "secret");
    write(dir.path() + "/inside/page.mustache", "{{>../secret}}");
    write(dir.path() + "/inside/ok.mustache", "ok");
    for (auto repository :
        { MustacheTemplateRepository::templateRepositoryWithDirectory(dir.path() + "/inside"),
            MustacheTemplateRepository::templateRepositoryWithBaseURL(
                QUrl::fromLocalFile(dir.path() + "/inside/")),
            MustacheTemplateRepository::templateRepositoryWithBundle(dir.path() + "/inside") }) {
        platform::Error error;
        EXPECT_TRUE(repository->templateNamed("ok", &error));
        EXPECT_FALSE(repository->templateNamed("../secret", &error));
        EXPECT_EQ(error.localizedDescription(), "No such template: `../secret`");
        EXPECT_FALSE(repository->templateNamed("page", &error));
        EXPECT_EQ(error.localizedDescription(), "No such template: `../secret`");
    }
    EXPECT_FALSE(
        MustacheTemplateRepository::templateRepositoryWithBaseURL(QUrl("http://example.com/"))
            ->templateNamed("x", nullptr));
}

TEST(MustacheTemplate, MissingFileGivesTheFileError)
{
    QTemporaryDir dir;
    write(dir.path() + "/bad.mustache", "\xff\xfe");
    auto repository = MustacheTemplateRepository::templateRepositoryWithDirectory(dir.path());
    platform::Error error;
    EXPECT_FALSE(repository->templateNamed("missing", &error));
    EXPECT_EQ(error.domain(), "NSCocoaErrorDomain");
    EXPECT_FALSE(repository->templateNamed("bad", &error));
    EXPECT_EQ(error.code(), 261);
}

TEST(MustacheTemplate, BundlePartialsAreLookedUpFlat)
{
    QTemporaryDir dir;
    write(dir.path() + "/main.mustache", "{{>dir/part}}");
    write(dir.path() + "/dir/part.mustache", "{{>other}}");
    write(dir.path() + "/other.mustache", "flat");
    auto compiled = MustacheTemplate::templateFromResource("main", dir.path(), nullptr);
    ASSERT_TRUE(compiled);
    EXPECT_EQ(compiled->renderObject({}, nullptr).value(), "flat");
}

TEST(MustacheTemplate, TextTemplateInsideHTMLIsEscapedAsAWhole)
{
    const QVariantMap partials { { "page", "{{>text}}|{{x}}" },
        { "text", "{{%CONTENT_TYPE:TEXT}}<{{x}}>" },
        { "textPage", "{{%CONTENT_TYPE:TEXT}}{{>html}}" }, { "html", "<{{x}}>" } };
    const QVariantMap data { { "x", "&" } };
    EXPECT_EQ(renderWithPartials(partials, "page", data), "&lt;&amp;&gt;|&amp;");
    EXPECT_EQ(renderWithPartials(partials, "textPage", data), "<&amp;>");
}

TEST(MustacheTemplate, RenderObjectsFromArrayAndBaseContexts)
{
    auto compiled = MustacheTemplate::templateFromString("{{a}}{{b}}{{c}}", nullptr);
    EXPECT_EQ(
        compiled
            ->renderObjectsFromArray(
                { QVariantMap { { "a", 1 }, { "b", 1 } }, QVariantMap { { "b", 2 } } }, nullptr)
            .value(),
        "12");
    compiled->extendBaseContextWithObject(QVariantMap { { "c", 3 } });
    EXPECT_EQ(compiled->renderObject({}, nullptr).value(), "3");
    EXPECT_THROW(compiled->setBaseContext(nullptr), platform::Exception);
    EXPECT_THROW(
        compiled->renderContentWithContext(nullptr, nullptr, nullptr), platform::Exception);
}

TEST(MustacheTemplate, TemplatesKeepTheirRepositoryAlive)
{
    MustacheTemplatePtr kept;
    {
        auto repository = MustacheTemplateRepository::templateRepositoryWithDictionary(
            { { "a", "<{{>b}}>" }, { "b", "{{#x}}{{>b}}{{/x}}b" } });
        kept = repository->templateNamed("a", nullptr);
    }
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->renderObject({}, nullptr).value(), "<b>");
    MustacheTemplatePtr fromString;
    {
        auto repository
            = MustacheTemplateRepository::templateRepositoryWithDictionary({ { "b", "B" } });
        fromString = repository->templateFromString("{{>b}}", nullptr);
    }
    EXPECT_EQ(fromString->renderObject({}, nullptr).value(), "B");
}

TEST(MustacheTemplate, ExceptionsLeaveNoLockHeld)
{
    auto thrower = MustacheFilter::filterWithBlock([](const QVariant&) -> QVariant {
        throw platform::Exception(platform::Exception::Generic, "boom");
    });
    auto repository
        = MustacheTemplateRepository::templateRepositoryWithDictionary({ { "t", "{{f(x)}}" } });
    auto compiled = repository->templateNamed("t", nullptr);
    EXPECT_THROW(compiled->renderObject(
                     QVariantMap { { "f", MustacheValue::fromObject(thrower) } }, nullptr),
        platform::Exception);
    // Another thread can still load from the repository.
    std::atomic<bool> loaded { false };
    QThreadPool pool;
    pool.start([&] { loaded = repository->templateNamed("t", nullptr) != nullptr; });
    pool.waitForDone();
    EXPECT_TRUE(loaded);
}

TEST(MustacheTemplate, SectionsCompileFromALiteralString)
{
    // Literal text has no block of its own, which a section's two tags must share.
    platform::Error error;
    const auto compiled
        = MustacheTemplate::templateFromString(QStringLiteral("{{#a}}[{{b}}]{{/a}}"), &error);
    ASSERT_TRUE(compiled) << error.localizedDescription().toStdString();
    EXPECT_EQ(compiled->renderObject(QVariantMap { { "a", true }, { "b", "x" } }, &error), "[x]");
}
