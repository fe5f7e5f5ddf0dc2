#pragma once

// Makes the detail forms known by class name: to the form engine (a root names its
// form's class) and to the screens that open forms by name (DetailFormRegistry).
class DetailForms {
public:
    DetailForms() = delete;

    static void registerAll();
};
