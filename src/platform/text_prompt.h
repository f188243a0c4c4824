// The one-line text prompt: caption "Input", a static prompt above an edit
// field, OK and Cancel. Described as data so that every backend shows the same.
#pragma once

#include <optional>
#include <string>

#include "platform/dialog_template.h"
#include "platform/dialogs.h"

inline constexpr int kTextPromptResource = 1110;
inline constexpr int kTextPromptLabelId = 1584;
inline constexpr int kTextPromptEditId = 1585;
inline constexpr char kTextPromptCaption[] = "Input";

// The description; `max_length` counts a terminating zero, as a C buffer's
// size does, so the field takes at most max_length - 1 characters.
DialogTemplate MakeTextPrompt(const std::string& prompt, const std::string& initial,
                              int max_length);

// Runs the prompt; the text when confirmed, nothing when cancelled.
std::optional<std::string> PromptText(DialogService& dialogs, WindowId owner,
                                      const std::string& prompt, const std::string& initial,
                                      int max_length);
