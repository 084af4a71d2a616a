#include "core/Editing.h"

#include <gtest/gtest.h>

#include <stdexcept>

// The choice crosses to the job process as text: every kind comes back exactly, and text that
// was never written is refused.
TEST(EditingTest, ChoicesTravelAsText)
{
    const std::vector<Editing::Choice> choices = {
        {},
        {Editing::Rect{500, 0, 3000, 3000}, std::nullopt},
        {std::nullopt, Editing::Range{2.0, 5.123456789}},
        {std::nullopt, Editing::Range{0, 14400}},
    };
    for (const Editing::Choice& choice : choices) EXPECT_EQ(Editing::fromWord(Editing::word(choice)), choice) << Editing::word(choice);
    for (const char* bad : {"crop 1 2 3", "trim 1", "crop 1 2 3 4 5", "zoom 1", "trim a b"}) EXPECT_THROW(Editing::fromWord(bad), std::runtime_error) << bad;
}
