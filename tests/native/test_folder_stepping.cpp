#include "core/folder_stepping.hpp"

#include <gtest/gtest.h>

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

TEST(FolderStepping, StepsGoToTheNeighboursAndStopAtTheEnds) {
    const std::vector<std::string> ordered = core::SteppingOrder({"file10.nfo", "file2.nfo", "file1.nfo"});
    EXPECT_EQ(core::StepIndex(ordered, "file2.nfo", StepDirection::Next), 2u);
    EXPECT_EQ(core::StepIndex(ordered, "file2.nfo", StepDirection::Previous), 0u);
    EXPECT_EQ(core::StepIndex(ordered, "file10.nfo", StepDirection::Next), std::nullopt);
    EXPECT_EQ(core::StepIndex(ordered, "file1.nfo", StepDirection::Previous), std::nullopt);
    EXPECT_EQ(core::StepIndex({}, "file1.nfo", StepDirection::Next), std::nullopt);
}

TEST(FolderStepping, AFileNoLongerListedStillHasItsPlaceBetweenTheOthers) {
    const std::vector<std::string> ordered = core::SteppingOrder({"a1.nfo", "a3.nfo"});
    EXPECT_EQ(core::StepIndex(ordered, "a2.nfo", StepDirection::Next), 1u);
    EXPECT_EQ(core::StepIndex(ordered, "a2.nfo", StepDirection::Previous), 0u);
    EXPECT_EQ(core::StepIndex(ordered, "b.exe", StepDirection::Previous), 1u);  // any name, even not a viewer's
}

TEST(FolderStepping, ANameSpelledInAnotherCaseIsTheSameFile) {
    const std::vector<std::string> ordered = core::SteppingOrder({"a.nfo", "release.nfo", "z.nfo"});
    EXPECT_EQ(core::StepIndex(ordered, "RELEASE.NFO", StepDirection::Next), 2u);
    EXPECT_EQ(core::StepIndex(ordered, "RELEASE.NFO", StepDirection::Previous), 0u);
    EXPECT_EQ(core::PlaceOf(ordered, "RELEASE.NFO"), (core::FolderPlace{2, 3}));
    EXPECT_EQ(core::PlaceOf(ordered, "z.nfo"), (core::FolderPlace{3, 3}));
    EXPECT_EQ(core::PlaceOf(ordered, "gone.nfo"), std::nullopt);
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
