#pragma once

// Told before the store changes underneath (unloaded: rows emptied, busy overlay shown)
// and after it has changed or imported cloud changes (loaded: rows reloaded). Screens
// adopt it and pass it on to their data controllers. Main queue.
class CloudStoreProtocol {
public:
    virtual ~CloudStoreProtocol() = default;
    virtual void cloudStoreUnloaded() = 0;
    virtual void cloudStoreLoaded() = 0;
};
