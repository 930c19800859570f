// One short date form per locale: the sample writes it, the orange hint
// names it and accepts it, and the chart, the batch mode's hints and the
// reading of task lists take exactly the dates the hint takes. Under the
// C locale (C, POSIX, C.UTF-8, Debian's default on minimal systems) that
// form is ISO 8601, and a slashed date is read as nothing.
#include "Form1Fixture.h"

#include "app/ListTable.h"
#include "app/ShortDate.h"
#include "chart/BatchHints.h"
#include "sheet/DateSerial.h"
#include "sheet/TypedInput.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace orv::test {
namespace {

struct Typed {
    const char *text;
    QDate meant; // invalid: the text is no date in this locale
};

struct LocaleCase {
    const char *locale;
    const char *sampleStart; // the sample's second task starts on 23 August 2016
    std::vector<Typed> typed;
};

void PrintTo(const LocaleCase &c, std::ostream *out)
{
    *out << c.locale;
}

class DateForm : public ActiveForm1Test, public ::testing::WithParamInterface<LocaleCase> {};

TEST_P(DateForm, SampleHintAndReadingAgree)
{
    const LocaleCase &c = GetParam();
    const QLocale locale(QLatin1String(c.locale));
    QLocale::setDefault(locale);
    Form1 &f = form();
    f.TabControl1->setCurrentIndex(1);
    QTest::mouseClick(f.PushButton9, Qt::LeftButton);
    EXPECT_EQ(f.txtStart->text(), c.sampleStart);
    EXPECT_TRUE(f.txtStart->toolTip().isEmpty()) << "the sample's date reads as one";

    f.txtStart->clear();
    QTest::keyClicks(f.txtStart, "soon");
    const QString example = f.txtStart->toolTip().section(u' ', -1);
    EXPECT_EQ(example, shortDateText(QDate(2026, 8, 24), locale));

    std::vector<Typed> typed = c.typed;
    const QByteArray exampleText = example.toUtf8();
    typed.push_back({exampleText.constData(), QDate(2026, 8, 24)});
    for (const Typed &t : typed) {
        const QString text = QString::fromUtf8(t.text);
        f.txtStart->clear();
        QTest::keyClicks(f.txtStart, text);
        EXPECT_EQ(f.txtStart->toolTip().isEmpty(), t.meant.isValid()) << t.text << " in the window";

        const sheet::TypedValue chart = sheet::readTypedInput(text, locale);
        EXPECT_EQ(chart.isDate, t.meant.isValid()) << t.text << " in the chart";
        if (chart.isDate)
            EXPECT_EQ(sheet::qdateFromSerial(std::get<double>(chart.value)), t.meant) << t.text;

        chart::ProjectLists lists;
        lists.categories = {{"C"}};
        lists.tasks = {{"T", "", text, "", "C", ""}};
        const QStringList batch = chart::batchHints(lists, locale);
        EXPECT_EQ(batch.isEmpty(), t.meant.isValid()) << t.text << " in the batch mode";

        const ListTable file =
            readListTable(QStringLiteral("Task,Start\nT,\"%1\"\n").arg(text), ListKind::Tasks, locale);
        EXPECT_EQ(file.items.value(0).value(2), t.meant.isValid() ? shortDateText(t.meant, locale) : text)
            << t.text << " in a task list";
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, DateForm,
                         ::testing::Values(LocaleCase{"C.UTF-8",
                                                      "2016-08-23",
                                                      {{"12/7/2026", {}},
                                                       {"12/18/2026", {}},
                                                       {"7.12.2026", {}},
                                                       {"2026-12-07", QDate(2026, 12, 7)},
                                                       {"7 Dec 2026", QDate(2026, 12, 7)}}},
                                           LocaleCase{"en_US",
                                                      "8/23/2016",
                                                      {{"12/7/2026", QDate(2026, 12, 7)},
                                                       {"12/18/2026", QDate(2026, 12, 18)},
                                                       {"18/12/2026", {}},
                                                       {"2026-12-07", QDate(2026, 12, 7)}}},
                                           LocaleCase{"de_DE",
                                                      "23.08.2016",
                                                      {{"7.12.2026", QDate(2026, 12, 7)},
                                                       {"12/18/2026", {}},
                                                       {"2026-12-07", QDate(2026, 12, 7)},
                                                       {"7. Dezember 2026", QDate(2026, 12, 7)}}}),
                         [](const auto &info) {
                             std::string name = info.param.locale;
                             std::replace_if(
                                 name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
                             return name;
                         });

} // namespace
} // namespace orv::test
