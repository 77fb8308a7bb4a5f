#include "core/folder_stepping.hpp"
#include "core/natural_order.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

using core::StepDirection;

TEST(FolderStepping, OnlyTheFiveExtensionsInAnyCaseTakePart) {
    EXPECT_EQ(core::SteppingOrder({"b.NFO", "setup.exe", "a.Diz", "c.bbs", "d.ion", "e.TXT", "nfo", "x.nfo.bak",
                                   ".nfo", "f.nf", "readme"}),
              (std::vector<std::string>{".nfo", "a.Diz", "b.NFO", "c.bbs", "d.ion", "e.TXT"}));
    EXPECT_TRUE(core::SteppingOrder({}).empty());
}

TEST(FolderStepping, StepsGoToTheNeighboursWithTheirPlaceAndStopAtTheEnds) {
    const std::vector<std::string> names = {"file10.nfo", "setup.exe", "file2.nfo", "file1.nfo"};
    EXPECT_EQ(core::StepFrom(names, "file2.nfo", StepDirection::Next), (core::StepTarget{"file10.nfo", {3, 3}}));
    EXPECT_EQ(core::StepFrom(names, "file2.nfo", StepDirection::Previous), (core::StepTarget{"file1.nfo", {1, 3}}));
    EXPECT_EQ(core::StepFrom(names, "file10.nfo", StepDirection::Next), std::nullopt);
    EXPECT_EQ(core::StepFrom(names, "file1.nfo", StepDirection::Previous), std::nullopt);
    EXPECT_EQ(core::StepFrom({}, "file1.nfo", StepDirection::Next), std::nullopt);
    EXPECT_EQ(core::StepFrom({"setup.exe"}, "a.nfo", StepDirection::Next), std::nullopt);
}

TEST(FolderStepping, AFileNoLongerListedStillHasItsPlaceBetweenTheOthers) {
    const std::vector<std::string> names = {"a3.nfo", "a1.nfo"};
    EXPECT_EQ(core::StepFrom(names, "a2.nfo", StepDirection::Next), (core::StepTarget{"a3.nfo", {2, 2}}));
    EXPECT_EQ(core::StepFrom(names, "a2.nfo", StepDirection::Previous), (core::StepTarget{"a1.nfo", {1, 2}}));
    EXPECT_EQ(core::StepFrom(names, "b.exe", StepDirection::Previous)->name, "a3.nfo");  // any name, even not a viewer's
}

TEST(FolderStepping, ANameSpelledInAnotherCaseIsTheSameFile) {
    const std::vector<std::string> names = {"z.nfo", "release.nfo", "a.nfo"};
    EXPECT_EQ(core::StepFrom(names, "RELEASE.NFO", StepDirection::Next)->name, "z.nfo");
    EXPECT_EQ(core::StepFrom(names, "RELEASE.NFO", StepDirection::Previous)->name, "a.nfo");
}

// Every step through a folder in both directions visits the sorted list in order, each with its
// number there: the one-pass look-up and the sort agree, names that differ in case only included.
TEST(FolderStepping, WalkingAFolderVisitsItsSortedListInOrder) {
    const std::vector<std::string> names = {"b10.nfo", "B9.NFO", "b09.txt", "x.exe", "a.diz", "A.DIZ", "c.bbs",
                                            "c.ion", "b1.nfo", "readme", "\xC3\xA4.nfo", "\xC3\x84" "b.nfo"};
    const std::vector<std::string> ordered = core::SteppingOrder(names);
    ASSERT_EQ(ordered.size(), 10u);
    std::vector<std::string> forward;
    std::string at = "";  // before every name
    while (auto step = core::StepFrom(names, at, StepDirection::Next)) {
        const auto listed = std::find(ordered.begin(), ordered.end(), step->name);
        ASSERT_NE(listed, ordered.end());
        EXPECT_EQ(step->place, (core::FolderPlace{static_cast<std::size_t>(listed - ordered.begin()) + 1, ordered.size()}));
        forward.push_back(at = step->name);
    }
    // Names that tie without their case (a.diz and A.DIZ) are one place to a step: it lands on one.
    std::vector<std::string> distinct;
    for (const std::string& name : ordered)
        if (distinct.empty() || core::NaturalCompare(distinct.back(), name) != 0) distinct.push_back(name);
    EXPECT_EQ(forward, distinct);
    std::vector<std::string> backward;
    at = "\xF4\x8F\xBF\xBF";  // after every name
    while (auto step = core::StepFrom(names, at, StepDirection::Previous)) backward.insert(backward.begin(), at = step->name);
    ASSERT_EQ(backward.size(), distinct.size());
    for (std::size_t i = 0; i < distinct.size(); ++i) EXPECT_EQ(core::NaturalCompare(backward[i], distinct[i]), 0) << i;
}

TEST(FolderStepping, AFailedStepIsGoneOnFromInItsDirectionOnly) {
    core::StepCursor cursor;
    const std::string shown = "C:\\art\\b.nfo";
    EXPECT_EQ(cursor.From(shown, StepDirection::Next), "b.nfo");
    cursor.Tried(shown, "c.nfo", StepDirection::Next);
    EXPECT_EQ(cursor.From(shown, StepDirection::Next), "c.nfo");
    EXPECT_EQ(cursor.From(shown, StepDirection::Previous), "b.nfo");  // back from the file shown
    EXPECT_EQ(cursor.From("C:\\art\\d.nfo", StepDirection::Next), "d.nfo");  // another file shown since
}

TEST(FolderStepping, CaptionGivesThePlaceAndTheDeletionAfterTheName) {
    EXPECT_EQ(core::ShownCaption({"C:\\art\\b.nfo", core::FolderPlace{3, 12}, false}, "Corvale"), "b.nfo (3 of 12) - Corvale");
    EXPECT_EQ(core::ShownCaption({"C:\\art\\b.nfo", std::nullopt, false}, "Corvale"), "b.nfo - Corvale");
    EXPECT_EQ(core::ShownCaption({"C:\\art\\b.nfo", std::nullopt, true}, "Corvale"), "b.nfo (deleted) - Corvale");
    EXPECT_EQ(core::ShownCaption({"C:\\art\\b.nfo", core::FolderPlace{1, 1}, true}, "Corvale"),
              "b.nfo (1 of 1) (deleted) - Corvale");
    EXPECT_EQ(core::ShownCaption({"", std::nullopt, true}, "Corvale"), "Corvale");
}
