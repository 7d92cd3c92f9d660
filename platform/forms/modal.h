// Modal steps that wait for the user — message boxes and popup menus — and
// the scripted answers that stand in for the user in tests.
#pragma once

#include <deque>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace zem::forms {

// Thrown when a modal step finds no scripted answer while a script is
// installed: the test forgot to answer, and must fail loudly, never block.
class UnscriptedModalStep : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// A loop on the manual clock that keeps finding timers due (one left
// repeating) for kManualLoopLimit of clock time without ever running out:
// a broken test, which fails at once instead of running for ever.
class EndlessManualLoop : public UnscriptedModalStep {
public:
    using UnscriptedModalStep::UnscriptedModalStep;
};

// What a modal step asked, for the test to check afterwards.
struct ModalQuestion {
    enum class Kind { MessageBox, PopupMenu } kind = Kind::MessageBox;
    std::string text;     // message box text, or the menu's caption
    std::string title;    // message box title
    int buttons = 0;      // message box button and icon flags
    std::vector<std::string> items;  // captions of the menu's items
    // The same items as a menu window shows them ("-" is a separator).
    struct MenuEntry {
        std::string caption;
        bool enabled = true;
        bool checked = false;
    };
    std::vector<MenuEntry> entries;
};

// Installs a queue of scripted answers for the life of the object. Answers
// are consumed in order by the modal steps that run meanwhile. Scripts nest:
// the innermost one answers.
class ScopedModalScript {
public:
    ScopedModalScript();
    ~ScopedModalScript();
    ScopedModalScript(const ScopedModalScript&) = delete;
    ScopedModalScript& operator=(const ScopedModalScript&) = delete;

    // The next message box returns this button (vbYes, vbNo, ...).
    ScopedModalScript& AnswerMessageBox(int button);
    // The next popup menu chooses the item of this name (or, failing that,
    // of this caption).
    ScopedModalScript& ChooseMenuItem(std::string nameOrCaption);
    // The next popup menu closes without a choice.
    ScopedModalScript& DismissMenu();

    const std::vector<ModalQuestion>& Questions() const { return questions_; }
    std::size_t Unused() const { return answers_.size(); }

    // For the runtime: the answer to a question, or UnscriptedModalStep.
    struct MenuChoice {
        std::string nameOrCaption;  // empty: closed without a choice
    };
    using Answer = std::variant<int, MenuChoice>;
    static bool Active();
    static Answer Take(const ModalQuestion& question);

private:
    std::deque<Answer> answers_;
    std::vector<ModalQuestion> questions_;
    ScopedModalScript* outer_;
};

}  // namespace zem::forms
