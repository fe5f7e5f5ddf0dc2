#include "grid/ToolBarAction.h"

ToolBarAction::~ToolBarAction() = default;

void ToolBarAction::add(platform::ui::Control*)
{
}

void ToolBarAction::edit(platform::ui::Control*)
{
}

void ToolBarAction::remove(platform::ui::Control*)
{
}

void ToolBarAction::refresh(platform::ui::Control*)
{
}

void ToolBarAction::next(platform::ui::Control*)
{
}

void ToolBarAction::search(platform::ui::Control*)
{
}

void ToolBarAction::query(platform::ui::Control*)
{
}

void ToolBarAction::script(platform::ui::Control*)
{
}

void ToolBarAction::mail(platform::ui::Control*)
{
}

void ToolBarAction::home(platform::ui::Control*)
{
}

void ToolBarAction::dependent(platform::ui::Control*)
{
}

void ToolBarAction::reference(platform::ui::Control*)
{
}

void ToolBarAction::start(platform::ui::Control*)
{
}

void ToolBarAction::stop(platform::ui::Control*)
{
}

void ToolBarAction::history(platform::ui::Control*)
{
}

void ToolBarAction::note(platform::ui::Control*)
{
}

void ToolBarAction::unlock(platform::ui::Control*)
{
}

void ToolBarAction::undo(platform::ui::Control*)
{
}

void ToolBarAction::checkin(platform::ui::Control*)
{
}

void ToolBarAction::checkout(platform::ui::Control*)
{
}

void ToolBarAction::pause(platform::ui::Control*)
{
}

void ToolBarAction::restart(platform::ui::Control*)
{
}

void ToolBarAction::suspend(platform::ui::Control*)
{
}

void ToolBarAction::help(platform::ui::Control*)
{
}

void ToolBarAction::size(platform::ui::Control*)
{
}

void ToolBarAction::calendar(platform::ui::Control*)
{
}

void ToolBarAction::detail(platform::ui::Control*)
{
}

void ToolBarAction::settings(platform::ui::Control*)
{
}

void ToolBarAction::addeditdelete(platform::ui::Control*)
{
}

void ToolBarAction::save(platform::ui::Control*)
{
}

void ToolBarAction::open(platform::ui::Control*)
{
}

void ToolBarAction::video(platform::ui::Control*)
{
}

void ToolBarAction::quickstart(platform::ui::Control*)
{
}

void ToolBarAction::expandcollapse(platform::ui::Control*)
{
}

void ToolBarAction::sort(platform::ui::Control*)
{
}

void ToolBarAction::columns(platform::ui::Control*)
{
}

void ToolBarAction::order(platform::ui::Control*)
{
}

void ToolBarAction::chart(platform::ui::Control*)
{
}

void ToolBarAction::share(platform::ui::Control*)
{
}

void ToolBarAction::filter(platform::ui::Control*)
{
}

void ToolBarAction::apply(platform::ui::Control*)
{
}

void ToolBarAction::sendicloud(platform::ui::Control*)
{
}

void ToolBarAction::database(platform::ui::Control*)
{
}
