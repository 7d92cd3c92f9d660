// Message boxes: MsgBox with its button and icon flags and results.
#pragma once

#include <string>

namespace zem::forms {

// Buttons.
inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbAbortRetryIgnore = 2;
inline constexpr int vbYesNoCancel = 3;
inline constexpr int vbYesNo = 4;
inline constexpr int vbRetryCancel = 5;
// Icons.
inline constexpr int vbCritical = 16;
inline constexpr int vbQuestion = 32;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;
// Results.
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;
inline constexpr int vbAbort = 3;
inline constexpr int vbRetry = 4;
inline constexpr int vbIgnore = 5;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

// Shows a message box and returns the button chosen. The title defaults to
// the program's title. In a test the installed ScopedModalScript answers. In a
// run without a presenter (no display attached yet) the box is answered with
// its declining button — No, Cancel, Ignore or OK — so that nothing the user
// did not agree to (an upgrade, a deletion) ever happens unattended.
int MsgBox(const std::string& prompt, int buttons = vbOKOnly, const std::string& title = {});

// The button a box with these flags answers when nobody is there to choose.
int DecliningButton(int buttons);

}  // namespace zem::forms
