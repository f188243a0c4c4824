#include "platform/key_names.h"

#include <gtest/gtest.h>

#include "platform/virtual_keys.h"

TEST(KeyNames, EveryNamedKeyReadsBackToItself) {
  for (int key = 0; key < 0x100; ++key) {
    const std::string name = VirtualKeyName(key);
    if (name.empty()) continue;
    EXPECT_EQ(VirtualKeyFromName(name), key) << name;
  }
  EXPECT_EQ(VirtualKeyFromName("pgup"), kVkPrior);
  EXPECT_EQ(VirtualKeyFromName("o"), 'O');
  EXPECT_EQ(VirtualKeyFromName("F13"), std::nullopt);
  EXPECT_EQ(VirtualKeyFromName(""), std::nullopt);
}

TEST(KeyNames, CombinationsTakeModifiersInAnyOrderButOnlyOnce) {
  EXPECT_EQ(ParseKeyCombination("Ctrl+Shift+Insert"),
            (KeyCombination{kVkInsert, {true, true, false}}));
  EXPECT_EQ(ParseKeyCombination("shift+alt+insert"),
            (KeyCombination{kVkInsert, {true, false, true}}));
  EXPECT_EQ(ParseKeyCombination("Ctrl+Num +"), (KeyCombination{kVkAdd, {false, true, false}}));
  EXPECT_EQ(ParseKeyCombination("Space"), (KeyCombination{kVkSpace, {}}));
  EXPECT_EQ(ParseKeyCombination("Ctrl+Ctrl+A"), std::nullopt);
  EXPECT_EQ(ParseKeyCombination("Ctrl+"), std::nullopt);
  EXPECT_EQ(ParseKeyCombination("Hyper+A"), std::nullopt);
}

TEST(KeyNames, AcceleratorTextPutsCtrlAltShiftFirstAndShowsCharacters) {
  EXPECT_EQ(AcceleratorText({Accelerator::Kind::kVirtualKey, kVkInsert, {true, false, true}, 0}),
            "Alt+Shift+Insert");
  EXPECT_EQ(AcceleratorText({Accelerator::Kind::kVirtualKey, kVkF1, {false, true, false}, 0}),
            "Ctrl+F1");
  EXPECT_EQ(AcceleratorText({Accelerator::Kind::kCharacter, '+', {true, true, false}, 0}),
            "Ctrl++");
  EXPECT_EQ(AcceleratorText({Accelerator::Kind::kCharacter, '*', {false, false, true}, 0}),
            "Alt+*");
}
