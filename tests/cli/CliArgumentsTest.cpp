#include "app/cli/CliArguments.h"
#include "app/cli/SiteTable.h"
#include "putil/Platform.h"

#include <climits>
#include <cmath>
#include <gtest/gtest.h>
#include <sstream>

namespace skyfetch {
namespace {

TEST(CliNumbers, DecimalsIntegersAndNonFinite) {
    double value = 0;
    EXPECT_EQ(ReadNumber("-0.5", value), NumberReading::Number);
    EXPECT_EQ(value, -0.5);
    EXPECT_EQ(ReadNumber("1e2", value), NumberReading::Number);
    EXPECT_EQ(value, 100);
    for (const char* text : {"nan", "-nan", "inf", "-INF", "infinity", "1e999", "-1e999"}) {
        EXPECT_EQ(ReadNumber(text, value), NumberReading::NonFinite) << text;
        EXPECT_FALSE(std::isfinite(value)) << text;
    }
    EXPECT_LT(value, 0); // -1e999 reads as minus infinity, below every range
    for (const char* text : {"", "abc", "0x10", " 5", "5 ", "1,5", "nanx"})
        EXPECT_EQ(ReadNumber(text, value), NumberReading::NotANumber) << text;

    int years = 0;
    EXPECT_TRUE(ReadInteger("1000", years));
    EXPECT_EQ(years, 1000);
    EXPECT_TRUE(ReadInteger("+7", years));
    EXPECT_EQ(years, 7);
    EXPECT_TRUE(ReadInteger("-3", years));
    EXPECT_EQ(years, -3);
    EXPECT_TRUE(ReadInteger("99999999999999999999", years));
    EXPECT_EQ(years, INT_MAX); // still refused by the range check
    EXPECT_TRUE(ReadInteger("-99999999999", years));
    EXPECT_EQ(years, INT_MIN);
    for (const char* text : {"", "-", "+", "1.5", "1e3", "12a", " 1", "+-1"})
        EXPECT_FALSE(ReadInteger(text, years)) << text;
}

TEST(CliArguments, FormsAndDefaults) {
    ParsedArguments p = ParseArguments({"--lon", "-0.5", "--lat=2"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.arguments.mode, CliMode::Generate);
    EXPECT_EQ(p.arguments.lon, -0.5);
    EXPECT_EQ(p.arguments.lat, 2);
    EXPECT_EQ(p.arguments.parameters.spinupYears, 1000);
    EXPECT_EQ(p.arguments.parameters.scenarioYears, 100);
    EXPECT_EQ(p.arguments.parameters.tempChange, 0);
    EXPECT_FALSE(p.arguments.haveOutput);
    EXPECT_FALSE(p.arguments.force);

    p = ParseArguments({"--climatology", "--lat", "-42.75", "--lon", "147.25"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.arguments.mode, CliMode::Climatology);

    p = ParseArguments({"--batch", "s.csv", "--force", "--output-dir", "out"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.arguments.mode, CliMode::Batch);
    EXPECT_EQ(p.arguments.batchFile, "s.csv");
    EXPECT_EQ(p.arguments.outputDir, "out");
    EXPECT_TRUE(p.arguments.force);

    EXPECT_EQ(ParseArguments({"--version"}).arguments.mode, CliMode::Version);
    EXPECT_EQ(ParseArguments({"--lon", "1", "--help"}).arguments.mode, CliMode::Help);

    // The bounds themselves pass.
    p = ParseArguments({"--lon", "-180", "--lat", "90", "--spinup", "0", "--scenario", "10000",
                        "--temp-change", "-30", "--precip-change", "-100", "--co2-change", "1000",
                        "--output", "x"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.arguments.parameters.spinupYears, 0);
    EXPECT_EQ(p.arguments.output, "x");
    EXPECT_TRUE(p.arguments.haveOutput);
}

TEST(CliArguments, Refusals) {
    struct Case {
        std::vector<std::string> args;
        const char* error;
    };
    const Case cases[] = {
        {{"--lon", "1", "--lat", "2", "--lon", "3"}, "skyfetch-cli: --lon given more than once"},
        {{"--lon"}, "skyfetch-cli: --lon needs a value"},
        {{"--lon", "1", "--lat", "2", "--force=yes"}, "skyfetch-cli: --force takes no value"},
        {{"--climatology", "--lon", "1", "--lat", "2", "--spinup", "5"},
         "skyfetch-cli: --spinup cannot be used here"},
        {{"--batch", "s.csv", "--lon", "1"}, "skyfetch-cli: --lon cannot be used here"},
        {{"--batch", "s.csv", "--output", "x"}, "skyfetch-cli: --output cannot be used here"},
        {{"--batch", ""}, "skyfetch-cli: --batch needs a file name"},
        {{"stray"}, "skyfetch-cli: unexpected argument \"stray\""},
        {{"--lon", "1", "--lat", "2", "--spinup", "1.5"},
         "skyfetch-cli: --spinup needs a whole number, not \"1.5\""},
        {{"--lon", "1", "--lat", "2", "--scenario", "99999999999"},
         "Number of scenario years must be in the range 0-10000"},
        {{"--lon", "1,5", "--lat", "2"}, "skyfetch-cli: --lon needs a number, not \"1,5\""},
        {{"--lon", "1", "--lat", "2", "--temp-change", "30.01"},
         "Temperature change must be in the range -30 to 30 \u00B0C"},
    };
    for (const Case& c : cases) {
        const ParsedArguments p = ParseArguments(c.args);
        EXPECT_FALSE(p.ok) << c.error;
        EXPECT_EQ(p.error, c.error);
    }
}

TEST(SiteTable, NamesThatStayInTheFolder) {
    EXPECT_EQ(CheckSiteName("malmo"), "");
    EXPECT_EQ(CheckSiteName("site 1 (dry)"), "");
    EXPECT_EQ(CheckSiteName("a.b"), "");
    EXPECT_EQ(CheckSiteName(""), "the name is empty");
    EXPECT_EQ(CheckSiteName(".."), "the name \"..\" starts with a dot");
    EXPECT_EQ(CheckSiteName(".hidden"), "the name \".hidden\" starts with a dot");
    EXPECT_EQ(CheckSiteName("../x"), "the name \"../x\" starts with a dot");
    EXPECT_EQ(CheckSiteName("a/../../x"), "the name \"a/../../x\" contains a folder separator");
    EXPECT_EQ(CheckSiteName("/etc/x"), "the name \"/etc/x\" contains a folder separator");
    EXPECT_EQ(CheckSiteName("a\nb"), "the name contains a control character");
}

TEST(SiteTable, ColumnsQuotesAndDefaults) {
    std::istringstream in("\xEF\xBB\xBF"
                          "co2_change, lat ,name,lon,spinup\r\n"
                          "5,55.75,\"Malm\xC3\xB6, south\",13.25,\r\n"
                          "\r\n"
                          ",-42.75,  hobart  ,147.25,50\n"
                          ",1,\"say \"\"hi\"\"\",2,\n");
    const SiteTable table = ReadSiteTable(in);
    ASSERT_TRUE(table.ok) << table.error;
    ASSERT_EQ(table.rows.size(), 3u);
    const Site& first = table.rows[0].site;
    EXPECT_TRUE(table.rows[0].ok) << table.rows[0].error.reason;
    EXPECT_EQ(first.line, 2);
    EXPECT_EQ(first.name, "Malm\xC3\xB6, south");
    EXPECT_EQ(first.lon, 13.25);
    EXPECT_EQ(first.lat, 55.75);
    EXPECT_EQ(first.parameters.co2Change, 5);
    EXPECT_EQ(first.parameters.spinupYears, 1000);
    const Site& second = table.rows[1].site;
    EXPECT_TRUE(table.rows[1].ok) << table.rows[1].error.reason;
    EXPECT_EQ(second.line, 4);
    EXPECT_EQ(second.name, "hobart");
    EXPECT_EQ(second.parameters.spinupYears, 50);
    EXPECT_EQ(second.parameters.co2Change, 0);
    EXPECT_EQ(table.rows[2].site.name, "say \"hi\"");
}

TEST(SiteTable, AQuotedFieldMaySpanLines) {
    // A row is complete only when its quotes are: the line breaks inside a quoted field
    // belong to the field, and the row keeps the number of the line it starts on.
    std::istringstream in("name,lon,lat\n"
                          "\"first\nsecond\",13.25,55.75\n" // lines 2-3
                          "after,13.25,55.75\n"
                          "\"with\r\n\r\nblank line\",1,2\r\n" // lines 5-7
                          "bad\"quote,1,2\n"
                          "\"closed\"text,1,2\n"
                          "\"spaced\" ,1,2\n"
                          "\"\"\"said\"\"\",1,2\n"
                          "\"open,1,2\n"
                          "never,1,2\n");
    const SiteTable table = ReadSiteTable(in);
    ASSERT_TRUE(table.ok) << table.error;
    const struct {
        int line;
        const char* name;
        const char* reason;
    } expected[] = {
        {2, "first\nsecond", "the name contains a control character"},
        {4, "after", ""},
        {5, "with\n\nblank line", "the name contains a control character"},
        {8, "", "a quote inside an unquoted field (quote the whole field and double the quote)"},
        {9, "", "text after the closing quote of a field"},
        {10, "spaced", ""},
        {11, "\"said\"",
         kWindowsPaths ? "the name \"\"said\"\" contains \"\"\", which Windows does not allow in a "
                         "file name"
                       : ""},
        {12, "", "the quote opened on this line is not closed by the end of the file"},
    };
    ASSERT_EQ(table.rows.size(), std::size(expected));
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        const SiteRow& row = table.rows[i];
        EXPECT_EQ(row.error.line, expected[i].line);
        EXPECT_EQ(row.error.reason, expected[i].reason) << expected[i].line;
        EXPECT_EQ(row.ok, expected[i].reason[0] == '\0') << expected[i].line;
        if (expected[i].name[0] != '\0') {
            EXPECT_EQ(row.site.name, expected[i].name) << expected[i].line;
        }
    }

    // The header follows the same rules; the line break is shown, not sent to the terminal.
    std::istringstream header("\"na\nme\",lon,lat\n");
    const SiteTable refused = ReadSiteTable(header);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.error, "line 1: unknown column \"na\\x0ame\" (columns: name,lon,lat and "
                             "optionally spinup,scenario,temp_change,precip_change,co2_change)");
    std::istringstream stray("name,lon,la\"t\n");
    EXPECT_EQ(ReadSiteTable(stray).error,
              "line 1 (header): a quote inside an unquoted field (quote the whole field and "
              "double the quote)");
}

TEST(SiteTable, RowErrorsAndHeaderErrors) {
    std::istringstream in("name,lon,lat,scenario,precip_change\n"
                          "a,1,2,,\n"
                          "a,1,2,,\n"
                          "b,181,2,,\n"
                          "c,1,-inf,,\n"
                          "d,1,2,10001,\n"
                          "e,1,2,,-101\n"
                          "f,1,2,x,\n"
                          "h,1,2\n"
                          "\"g,1,2,,\n");
    const SiteTable table = ReadSiteTable(in);
    ASSERT_TRUE(table.ok);
    const std::pair<int, const char*> expected[] = {
        {2, ""},
        {3, "the name \"a\" is used by an earlier row"},
        {4, "Longitude must be in the range -180 to 180 degrees "},
        {5, "Latitude must be in the range -90 to 90 degrees"},
        {6, "Number of scenario years must be in the range 0-10000"},
        {7, "Precipitation cannot decrease by more than 100 percent!"},
        {8, "scenario: \"x\" is not a whole number"},
        {9, "expected 5 fields, found 3"},
        {10, "the quote opened on this line is not closed by the end of the file"},
    };
    ASSERT_EQ(table.rows.size(), std::size(expected));
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        EXPECT_EQ(table.rows[i].error.line, expected[i].first);
        EXPECT_EQ(table.rows[i].ok, expected[i].second[0] == '\0');
        EXPECT_EQ(table.rows[i].error.reason, expected[i].second);
    }
    // A repeated name is quoted as harmlessly as any other.
    std::istringstream twice("name,lon,lat\nx\u061C\u202Ey,1,2\nx\u061C\u202Ey,1,2\n");
    const SiteTable repeated = ReadSiteTable(twice);
    ASSERT_EQ(repeated.rows.size(), 2u);
    EXPECT_EQ(repeated.rows[1].error.reason,
              "the name \"x\\u061c\\u202ey\" is used by an earlier row");

    for (const char* header : {"", "\n\n", "name,lon\n", "name,lon,lat,colour\n",
                               "name,lon,lat,lon\n", "\"name,lon,lat\n"}) {
        std::istringstream bad(header);
        const SiteTable refused = ReadSiteTable(bad);
        EXPECT_FALSE(refused.ok) << header;
        EXPECT_FALSE(refused.error.empty()) << header;
        EXPECT_TRUE(refused.rows.empty());
    }
}

TEST(CliArguments, QuotedTextIsShownHarmlessAndShort) {
    const struct {
        std::string text;
        std::string shown;
    } rows[] = {
        {"Lund_\u00C5_\u5317\u4EAC.txt", "Lund_\u00C5_\u5317\u4EAC.txt"}, // letters stay
        {"a\tb\x1b[2Jc\x7f", "a\\x09b\\x1b[2Jc\\x7f"},                     // C0 and DEL
        {"a\xC2\x9B" "2J", "a\\u009b2J"},                                 // C1: a CSI
        {"x\u202Etxt.exe", "x\\u202etxt.exe"},                             // bidi override
        {"\u2066\u2069\u200F\u061C", "\\u2066\\u2069\\u200f\\u061c"},             // isolates, marks
        {"bad\xC3(\xF0\x9F\x98", "bad\\xc3(\\xf0\\x9f\\x98"},                // not UTF-8
        {std::string(300, 'x'), std::string(200, 'x') + "..."},
        {std::string(199, 'x') + "\u00C5", std::string(199, 'x') + "..."},  // cut between characters
    };
    for (const auto& row : rows)
        EXPECT_EQ(Printable(row.text), row.shown) << row.shown;
    EXPECT_EQ(Printable(std::string(300, 'x'), std::string::npos), std::string(300, 'x'));
}

} // namespace
} // namespace skyfetch
