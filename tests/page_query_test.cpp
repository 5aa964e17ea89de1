// The browser page's address: its parameters become the program's command line (which the
// program's parser then checks), the page's own ones are read here, and anything else is refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/web/page_query.h"

namespace {

using Args = std::vector<std::string>;

TEST(PageQuery, ParametersBecomeTheProgramsArguments) {
    const struct {
        const char* query;
        Args arguments;
        bool fixedSize;
        uint32_t stop;
    } cases[] = {
        {"", {"--window", "--pace=60"}, false, 0},
        {"?seed=42&fps=1&stats",
         {"--window", "--seed=42", "--fps", "--stats", "--pace=60"},
         false,
         0},
        {"?pace=0&fps=0", {"--window"}, false, 0},
        {"?maxfps=30&awake=1", {"--window", "--max-fps=30", "--pace=60"}, false, 0},
        {"?maxfps=0&awake=0", {"--window", "--pace=60"}, false, 0},
        {"?pace=240&size=640x360", {"--window", "--pace=240", "--size=640x360"}, true, 0},
        // A stopped page draws zorvik-capture's frame, whatever the pace.
        {"?stop=600&pace=30&seed=7", {"--window", "--seed=7"}, false, 600},
        {"seed=1&&stop=1", {"--window", "--seed=1"}, false, 1},
    };
    for (const auto& c : cases) {
        PageQuery page;
        std::string error;
        ASSERT_TRUE(ParsePageQuery(c.query, &page, &error)) << c.query << ": " << error;
        EXPECT_EQ(page.arguments, c.arguments) << c.query;
        EXPECT_EQ(page.fixedSize, c.fixedSize) << c.query;
        EXPECT_EQ(page.stop, c.stop) << c.query;
    }
}

TEST(PageQuery, FaultsAndRefusals) {
    PageQuery page;
    std::string error;
    ASSERT_TRUE(ParsePageQuery("?fault=light3", &page, &error));
    EXPECT_EQ(page.fault, PageFault::kLight);
    EXPECT_EQ(page.faultLight, 3);
    ASSERT_TRUE(ParsePageQuery("?fault=traffic", &page, &error));
    EXPECT_EQ(page.fault, PageFault::kTraffic);
    for (const char* query : {"?stop=0", "?stop=x", "?fps=2", "?fault=light4", "?fault=", "?zoom=2",
                              "?stop=2147483648", "?size=desktop", "?seed=1&size=Desktop"}) {
        EXPECT_FALSE(ParsePageQuery(query, &page, &error)) << query;
        EXPECT_FALSE(error.empty()) << query;
    }
}

} // namespace
