#include "platform/Controls.h"

namespace qs {

void TControl::setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    changed();
}

void TControl::changed() const {
    if (onViewUpdate) onViewUpdate();
}

void TEdit::setText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    changed();
    if (OnChange) OnChange();
}

void TEdit::setReadOnly(bool readOnly) {
    if (readOnly == readOnly_) return;
    readOnly_ = readOnly;
    changed();
}

void TEdit::exit() {
    if (OnExit) OnExit();
}

void TEdit::setFocus() {
    if (onFocusRequest) onFocusRequest();
}

void TCheckBox::setChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    changed();
    if (OnClick) OnClick();
}

void TRadioButton::setChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    if (checked_) {
        for (TRadioButton* other : siblings_) {
            if (other->checked_) {
                other->checked_ = false;
                other->changed();
            }
        }
    }
    changed();
}

void TRadioButton::group(std::vector<TRadioButton*> buttons) {
    for (TRadioButton* b : buttons) {
        b->siblings_.clear();
        for (TRadioButton* other : buttons)
            if (other != b) b->siblings_.push_back(other);
    }
}

void TLabel::setCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    changed();
}

void TForm::setShowHint(bool show) {
    if (show == showHint_) return;
    showHint_ = show;
    changed();
}

}  // namespace qs
