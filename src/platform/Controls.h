#pragma once
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace qs {

// Model controls: they hold what the handlers read and write, and raise the
// handlers' events. A view (the Qt window) mirrors them through the view hook
// and feeds the user's input back through the same setters, so a handler
// never knows whether a person or the program changed a control.
class TControl {
public:
    explicit TControl(std::string name, std::string hint = {}) : name_(std::move(name)), hint_(std::move(hint)) {}
    virtual ~TControl() = default;
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    // getters
    const std::string& name() const { return name_; }
    const std::string& hint() const { return hint_; }
    bool enabled() const { return enabled_; }

    // setters
    void setHint(std::string hint) { hint_ = std::move(hint); }
    void setEnabled(bool enabled);

    // The view's hook: runs after any state change of the control.
    std::function<void()> onViewUpdate;

protected:
    void changed() const;

private:
    std::string name_;
    std::string hint_;
    bool enabled_ = true;
};

// Edit box. OnChange runs whenever the text changes (typed or set by the
// program, only when it differs); OnExit runs when the focus leaves it.
class TEdit : public TControl {
public:
    TEdit(std::string name, std::string text, std::string hint = {})
        : TControl(std::move(name), std::move(hint)), text_(std::move(text)) {}

    const std::string& text() const { return text_; }
    bool readOnly() const { return readOnly_; }
    void setText(const std::string& text);
    void setReadOnly(bool readOnly);
    // The focus leaves the box: runs OnExit.
    void exit();
    // Asks the view to put the input focus into this box.
    void setFocus();
    // Whether the box holds the window's input focus (a person may be typing
    // into it), as the view tells.
    bool focused() const { return focused_; }
    void setFocused(bool focused) { focused_ = focused; }

    std::function<void()> OnChange;
    std::function<void()> OnExit;
    std::function<void()> onFocusRequest;

private:
    std::string text_;
    bool readOnly_ = false;
    bool focused_ = false;
};

// Check box. OnClick runs whenever the checked state changes, by a click or
// by the program.
class TCheckBox : public TControl {
public:
    TCheckBox(std::string name, std::string caption, bool checked, std::string hint = {})
        : TControl(std::move(name), std::move(hint)), caption_(std::move(caption)), checked_(checked) {}

    const std::string& caption() const { return caption_; }
    bool checked() const { return checked_; }
    void setChecked(bool checked);
    // A person's click: toggles the box.
    void click() { setChecked(!checked_); }

    std::function<void()> OnClick;

private:
    std::string caption_;
    bool checked_;
};

// Radio button; checking one unchecks the others of its group.
class TRadioButton : public TControl {
public:
    TRadioButton(std::string name, std::string caption, bool checked, std::string hint = {})
        : TControl(std::move(name), std::move(hint)), caption_(std::move(caption)), checked_(checked) {}

    const std::string& caption() const { return caption_; }
    bool checked() const { return checked_; }
    void setChecked(bool checked);
    // Puts the buttons in one group; each knows its siblings.
    static void group(std::vector<TRadioButton*> buttons);

private:
    std::string caption_;
    bool checked_;
    std::vector<TRadioButton*> siblings_;
};

// Button. Click() runs its handler whatever its enabled state, as the
// framework's click operation does; a view only forwards clicks while enabled.
class TButton : public TControl {
public:
    TButton(std::string name, std::string caption, bool enabled, std::string hint = {})
        : TControl(std::move(name), std::move(hint)), caption_(std::move(caption)) {
        setEnabled(enabled);
    }

    const std::string& caption() const { return caption_; }
    void Click() {
        if (OnClick) OnClick();
    }

    std::function<void()> OnClick;

private:
    std::string caption_;
};

// Label showing a text.
class TLabel : public TControl {
public:
    TLabel(std::string name, std::string caption) : TControl(std::move(name)), caption_(std::move(caption)) {}

    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& caption);

private:
    std::string caption_;
};

// The window itself: its caption, its own hint and the switch that shows or
// hides every hint (no control sets its own hint display).
class TForm : public TControl {
public:
    TForm(std::string name, std::string caption, std::string hint)
        : TControl(std::move(name), std::move(hint)), caption_(std::move(caption)) {}

    const std::string& caption() const { return caption_; }
    bool showHint() const { return showHint_; }
    void setShowHint(bool show);

private:
    std::string caption_;
    bool showHint_ = true;
};

}  // namespace qs
