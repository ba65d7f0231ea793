#include "ui/form.h"

namespace dustrel::ui {

Form::Form(UiHost& host, std::string name) : host_(host), name_(std::move(name)) {}

Form::~Form() {
    // A form destroyed while loaded still lets its view go first, so no window outlives it.
    if (loaded_) {
        host_.formUnloading(*this);
    }
    children_.clear();
    owned_.clear();
}

void Form::setCaption(const std::wstring& caption) {
    if (changeValue(caption_, caption)) {
        notify(Prop::Caption);
    }
}

void Form::setIcon(Image icon) {
    if (changeValue(icon_, icon)) {
        notify(Prop::Icon);
    }
}

void Form::setClientSize(int width, int height) {
    const bool wider = changeValue(clientWidth_, width);
    if (changeValue(clientHeight_, height) || wider) {
        notify(Prop::Rect);
    }
}

void Form::setFont(const Font& font) {
    if (changeValue(font_, font)) {
        notify(Prop::Font);
    }
}

void Form::setBackColor(Color color) {
    if (changeValue(backColor_, color)) {
        notify(Prop::Colors);
    }
}

void Form::setWindowState(WindowState state) {
    if (changeValue(windowState_, state)) {
        notify(Prop::WindowState);
    }
}

void Form::show() {
    if (!loaded_) {
        load();
    }
    if (!loaded_ || visible_ || host_.ended()) {
        return;
    }
    if (loading_) {
        // A window shown before its load step has filled it would show half of itself.
        showWhenLoaded_ = true;
        return;
    }
    visible_ = true;
    notify(Prop::Visible);
}

void Form::hide() {
    if (visible_) {
        visible_ = false;
        notify(Prop::Visible);
    }
}

void Form::setMousePointer(MousePointer pointer) {
    if (changeValue(mousePointer_, pointer)) {
        notify(Prop::MousePointer);
    }
}

void Form::load() {
    if (loaded_ || host_.ended()) {
        return;
    }
    loaded_ = true;
    ++loadCount_;
    createControls();
    host_.formLoaded(*this);
    host_.touched(*this);
    {
        // Cleared however Form_Load ends, a wait in it abandoned included.
        struct Loading {
            bool& flag;
            explicit Loading(bool& f) : flag(f) { flag = true; }
            ~Loading() { flag = false; }
        } loading(loading_);
        Form_Load();
    }
    if (showWhenLoaded_ && loaded_) {
        showWhenLoaded_ = false;
        show();
    }
}

bool Form::unload() {
    if (!loaded_) {
        return true;
    }
    if (unloading_) {
        // Unloading again from inside Form_Unload (e.g. a routine that unloads every form):
        // the outer call finishes the job.
        return true;
    }
    unloading_ = true;
    // Closing the window leaves its lists: an entry the user moved to counts as chosen.
    const std::vector<Control*> controls = controls_;
    for (Control* control : controls) {
        if (control->kind() == ControlKind::ComboBox) {
            static_cast<ComboBox*>(control)->userSettle();
        }
    }
    int cancel = 0;
    Form_Unload(cancel);
    if (cancel != 0 || !loaded_) {
        unloading_ = false;
        return cancel == 0;
    }
    host_.formUnloading(*this);
    visible_ = false;
    releaseControls();
    children_.clear();
    pages_.clear();
    controls_.clear();
    owned_.clear();
    menus_.clear();
    observer_ = nullptr;
    focused_ = nullptr;
    windowState_ = WindowState::Normal;
    mousePointer_ = MousePointer::Default;
    showWhenLoaded_ = false;
    loaded_ = false;
    unloading_ = false;
    return true;
}

void Form::closeBox() {
    if (loaded_) {
        host_.raise(*this, [this] { unload(); });
    }
}

Control* Form::find(const std::string& name, int index) const {
    for (Control* control : controls_) {
        if (control->name() == name && control->index() == index) {
            return control;
        }
    }
    return nullptr;
}

MenuItem& Form::addMenu(std::string name, std::wstring caption) {
    menus_.push_back(std::make_unique<MenuItem>(*this, std::move(name), std::move(caption)));
    return *menus_.back();
}

Frame* Form::frontPage() const {
    Frame* front = nullptr;
    std::size_t frontIndex = 0;
    for (Frame* page : pages_) {
        const std::size_t z = page->zIndex();
        if (page->visible() && (front == nullptr || z > frontIndex)) {
            front = page;
            frontIndex = z;
        }
    }
    return front;
}

void Form::notify(Prop what) {
    if (observer_ != nullptr) {
        observer_->formChanged(*this, what);
    }
}

}  // namespace dustrel::ui
