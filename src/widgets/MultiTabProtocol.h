#pragma once

class TabPage;

// What a tab strip tells its hosting screen; every call is optional.
class MultiTabProtocol {
public:
    virtual ~MultiTabProtocol() = default;
    // The add button was tapped.
    virtual void newTab() { }
    // A tab's close button was tapped; the host removes it with deletePage when it wants.
    virtual void deleteTab(TabPage*) { }
    // The tab's page is shown.
    virtual void tabSelected(TabPage*) { }
    // The tab is being removed.
    virtual void tabClosed(TabPage*) { }
};
