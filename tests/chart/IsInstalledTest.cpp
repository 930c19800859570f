#include "app/AppTitle.h"
#include "chart/EngineApplicationFactory.h"
#include "chart/IsInstalled.h"
#include "files/Failure.h"
#include "support/ScriptedServices.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace orv {
namespace {

template <typename Error>
class ThrowingFactory : public chart::ApplicationFactory {
public:
    std::unique_ptr<chart::Application> create() override { throw Error("no spreadsheet application"); }
};

template <typename Factory>
class SpreadsheetCheck : public ::testing::Test {
protected:
    SpreadsheetCheck() { scripted.services.spreadsheets = &factory; }
    test::ScriptedServices scripted;
    Factory factory;
};

using FailingFactories = ::testing::Types<ThrowingFactory<Failure>, ThrowingFactory<std::runtime_error>>;
TYPED_TEST_SUITE(SpreadsheetCheck, FailingFactories);

TYPED_TEST(SpreadsheetCheck, AnyFailureShowsTheMessageThenEndsTheProgram)
{
    SetAppTitle();
    CheckExcelInstalled(this->scripted.services);
    ASSERT_EQ(this->scripted.messages.shown.size(), 1u);
    const test::ShownMessage &shown = this->scripted.messages.shown[0];
    EXPECT_EQ(shown.text, excelMissingMessage());
    EXPECT_TRUE(shown.text.startsWith("Error 842001. A normal instance of Excel could not be created.\r\n\r\n1. "));
    EXPECT_TRUE(shown.text.endsWith("except for the rare Excel Starter and Student editions."));
    EXPECT_EQ(shown.text.count("\r\n\r\n"), 4);
    EXPECT_EQ(shown.title, "Orvantis");
    EXPECT_EQ(shown.buttons, MessageButtons::Ok);
    EXPECT_EQ(shown.icon, MessageIcon::None);
    EXPECT_EQ(this->scripted.exit.calls, 1);
}

TEST(SpreadsheetCheckWithEngine, PassesQuietly)
{
    test::ScriptedServices scripted;
    chart::EngineApplicationFactory engine(scripted.clock);
    scripted.services.spreadsheets = &engine;
    CheckExcelInstalled(scripted.services);
    EXPECT_TRUE(scripted.messages.shown.empty());
    EXPECT_EQ(scripted.exit.calls, 0);
}

} // namespace
} // namespace orv
