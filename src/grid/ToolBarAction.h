#pragma once

namespace platform::ui {
class Control;
}

// What a toolbar's buttons ask of the screen's data controller: one action per button,
// each given the tapped button. Every action is optional; one a controller does not
// implement does nothing.
class ToolBarAction {
public:
    virtual ~ToolBarAction() = 0;

    virtual void add(platform::ui::Control* sender);
    virtual void edit(platform::ui::Control* sender);
    virtual void remove(platform::ui::Control* sender);
    virtual void refresh(platform::ui::Control* sender);
    virtual void next(platform::ui::Control* sender);
    virtual void search(platform::ui::Control* sender);
    virtual void query(platform::ui::Control* sender);
    virtual void script(platform::ui::Control* sender);
    virtual void mail(platform::ui::Control* sender);
    virtual void home(platform::ui::Control* sender);
    virtual void dependent(platform::ui::Control* sender);
    virtual void reference(platform::ui::Control* sender);
    virtual void start(platform::ui::Control* sender);
    virtual void stop(platform::ui::Control* sender);
    virtual void history(platform::ui::Control* sender);
    virtual void note(platform::ui::Control* sender);
    virtual void unlock(platform::ui::Control* sender);
    virtual void undo(platform::ui::Control* sender);
    virtual void checkin(platform::ui::Control* sender);
    virtual void checkout(platform::ui::Control* sender);
    virtual void pause(platform::ui::Control* sender);
    virtual void restart(platform::ui::Control* sender);
    virtual void suspend(platform::ui::Control* sender);
    virtual void help(platform::ui::Control* sender);
    virtual void size(platform::ui::Control* sender);
    virtual void calendar(platform::ui::Control* sender);
    virtual void detail(platform::ui::Control* sender);
    virtual void settings(platform::ui::Control* sender);
    virtual void addeditdelete(platform::ui::Control* sender);
    virtual void save(platform::ui::Control* sender);
    virtual void open(platform::ui::Control* sender);
    virtual void video(platform::ui::Control* sender);
    virtual void quickstart(platform::ui::Control* sender);
    virtual void expandcollapse(platform::ui::Control* sender);
    virtual void sort(platform::ui::Control* sender);
    virtual void columns(platform::ui::Control* sender);
    virtual void order(platform::ui::Control* sender);
    virtual void chart(platform::ui::Control* sender);
    virtual void share(platform::ui::Control* sender);
    virtual void filter(platform::ui::Control* sender);
    virtual void apply(platform::ui::Control* sender);
    virtual void sendicloud(platform::ui::Control* sender);
    virtual void database(platform::ui::Control* sender);
};
