#pragma once

namespace platform::coredata {

// A layer over SQLite's file system that gathers the writes SQLite makes to a
// write-ahead log one after another into writes of up to 120 KiB. SQLite writes each
// page of a save to the log as two writes (a header, then the page); a save of a hundred
// thousand rows so makes some fifty thousand small writes at its commit, which cost the
// system several times what a few big writes of the same bytes do. The big writes are
// made on a thread of the log's own while SQLite goes on with the next frames.
// As the frames of such a save are written, the disk is told every few MiB to start on
// them, so that the sync at its commit waits for little more than the last of them.
//
// Nothing is less durable: what is gathered is written, and the writes under way are
// waited for, before the log is synced, read, sized, cut or closed; a write that failed
// fails the next of these, and SQLite syncs the log before a commit counts. That sync is
// what this relies on: without it, another connection could be told of frames still
// gathered here. So a log is gathered only while its connection's commits sync it, as
// they do at "PRAGMA synchronous" FULL (or EXTRA), the stores' level: the layer follows
// what the commits do rather than the level asked for, which SQLite may refuse. At any
// other level the log is written as SQLite writes it. What a save that was rolled back left
// gathered is dropped, and what it gave to be written is waited for, when its connection lets go of
// the log's write lock, so it can never land on frames another writer committed since. Store files
// only pass through on their way to the lower layer (to follow that lock); other files are the
// lower layer's own.
class WalWriteBuffer {
public:
    WalWriteBuffer() = delete;

    // The name to open a connection with: a layer over the file system that is SQLite's
    // default at the time of the call (made and registered on first use).
    static const char* vfsName();
};

} // namespace platform::coredata
