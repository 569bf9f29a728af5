#pragma once
// The window's controls as data. The logic sets their state; whoever shows them (the Win32
// window, the console, a test) reads it, and is told through the change slot when it moves.
#include <functional>
#include <string>

namespace keltora {

enum class Colour { Black, Red, Silver };

class Control {
public:
    explicit Control(std::string name, std::string caption = {}) : name_(std::move(name)), caption_(std::move(caption)) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    const std::string& caption() const { return caption_; }
    bool visible() const { return visible_; }
    // Whether the user can use it now: the logic's own state, unless a running command keeps the
    // control's command from starting until it ends.
    bool enabled() const { return enabled_ && !blocked_; }
    bool blocked() const { return blocked_; }
    Colour colour() const { return colour_; }

    void setCaption(const std::string& caption) { update(caption_, caption); }
    void setVisible(bool visible) { update(visible_, visible); }
    void show() { setVisible(true); }
    void hide() { setVisible(false); }
    void setEnabled(bool enabled) { update(enabled_, enabled); }
    void setBlocked(bool blocked) { update(blocked_, blocked); }
    void setColour(Colour colour) { update(colour_, colour); }

    std::function<void(Control&)> onChange;

protected:
    template <typename T>
    void update(T& field, const T& value) {
        if (field == value) return;
        field = value;
        changed();
    }
    void changed() {
        if (onChange) onChange(*this);
    }

private:
    std::string name_;
    std::string caption_;
    bool visible_ = false;
    bool enabled_ = true;
    bool blocked_ = false;
    Colour colour_ = Colour::Black;
};

// Push buttons, static texts and the count boxes: a caption, a colour, shown or not.
using Button = Control;
using Label = Control;
using CountBox = Control;

class CheckBox : public Control {
public:
    using Control::Control;
    bool checked() const { return checked_; }
    void setChecked(bool checked) { update(checked_, checked); }

private:
    bool checked_ = false;
};

class ProgressBar : public Control {
public:
    using Control::Control;
    int position() const { return position_; }
    void setPosition(int position) { update(position_, position); }
    int maximum() const { return maximum_; }
    void setMaximum(int maximum) { update(maximum_, maximum); }

private:
    int position_ = 0;
    int maximum_ = 100;
};

class Timer : public Control {
public:
    Timer(std::string name, int intervalMs) : Control(std::move(name)), interval_(intervalMs) {}
    int interval() const { return interval_; }
    bool running() const { return enabled(); }
    void start() { setEnabled(true); }
    void stop() { setEnabled(false); }

private:
    int interval_;
};

}  // namespace keltora
