// The files that keep the indication subscriptions across restarts: a
// snapshot (the path given: the filters, destinations and subscriptions as
// CIM-XML INSTANCE elements under one SUBSCRIPTIONS root) and a journal
// beside it ("<path>.journal": the changes made since, one record a line),
// so that a change costs in proportion to itself: its record is appended
// and synced. The snapshot is replaced whole and atomically (a temporary
// file, synced, renamed over it) when the store folds the journal into it,
// and the journal is then emptied; a crash in between leaves a journal
// whose records the snapshot already holds, which read the same again.
// A record whose line was cut short by a crash is left out.
//
// The files are trusted only once checked: a regular file (never a FIFO,
// a device or a symbolic link: nothing is opened that could block or lead
// elsewhere), owned by the server's user, writable by no one else. Files
// that fail the check are refused: nothing is read from them and nothing
// is ever written in their place. Files the store cannot read are kept
// aside under a new name, never overwritten.
#ifndef HOST_CIMSERVER_SUBSCRIPTION_FILE_H
#define HOST_CIMSERVER_SUBSCRIPTION_FILE_H

#include <cstddef>
#include <string>
#include <vector>

namespace cimserver {

class SubscriptionFile {
public:
    // The most bytes read of the snapshot or the journal.
    static constexpr std::size_t MAX_FILE = 64u << 20;

    struct Contents {
        std::string snapshot;             // empty when there is none
        std::vector<std::string> records; // the journal's complete lines, in order
        bool cut_short = false;           // the journal ends in a partial line
    };

    enum class Read {
        ok,      // read (files that do not exist read empty)
        refused, // a file failed the check: nothing was read
        damaged, // a file is larger than MAX_FILE or cannot be read
    };

    explicit SubscriptionFile(std::string path);
    ~SubscriptionFile();
    SubscriptionFile(const SubscriptionFile&) = delete;
    SubscriptionFile& operator=(const SubscriptionFile&) = delete;

    const std::string& path() const { return _path; }
    std::string journal_path() const { return _path + ".journal"; }

    // Reads both files; message says why when not ok.
    Read read(Contents& contents, std::string& message);
    // Renames the files that exist to "<name>.damaged-<UTC time>"; message
    // names where they went (or why they could not be moved).
    bool keep_aside(std::string& message);

    // Appends the lines (each ending in a line feed) to the journal and
    // syncs it; false with a message when they could not be kept.
    bool append(const std::string& lines, std::string& message);
    // Replaces the snapshot with text and empties the journal.
    bool replace(const std::string& text, std::string& message);

    std::size_t snapshot_size() const { return _snapshot_size; }
    std::size_t journal_size() const { return _journal_size; }

private:
    bool open_journal(std::string& message);

    std::string _path;
    int _journal = -1; // open for appending once the first record is written
    std::size_t _snapshot_size = 0;
    std::size_t _journal_size = 0;
};

} // namespace cimserver

#endif
