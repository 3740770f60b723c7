#pragma once
// Serialises the configuration methods on one array. A method that changes
// an array holds this lock from its pre-check to its answer, so that two
// methods never pick the same free number or act on a table the other is
// changing; readers never take it. It is the first lock a method takes: the
// table view, the refresh's exchange and file mutexes and the status table
// mutex are all taken under it, each only for as long as it reads or writes,
// and never the other way round (docs/lock-order.md).
//
// The wait is bounded (WAIT_BOUND) and ends early when the request's client
// leaves or the server stops: a method that cannot have the lock gets
// NamedMutexTimeout (a NamedMutexError) from the constructor, holds
// nothing, and answers its own failure code without asking the array.
//
//   SMIS_MethodLock lock(address);   // waits for the array's running method
//   VELDARO_RefTable table(address, VELDARO_RefTable::UNLOCKED);
//   rc = SMISMethodCom::mcFirstCommonProcess(flags, &table);
//
// A method may wait long for the lock behind the array's other methods. If
// its client has left meanwhile, the lock is given back at once and the
// constructor throws SMIS_ClientGone, as it throws when the lock is refused:
// the method answers its failure code and sends nothing to the array.
//
// The callers on one array are bounded (waitLimit(), WAIT_LIMIT unless a
// test changed it): each takes a place before it waits, and one that finds
// every place of its array taken gets SMIS_MethodLockBusy at once, holding
// nothing, and answers the busy code (0x8013) without asking the array. So
// callers piling up on one slow or silent array keep at most that many
// request threads, and the server's others serve the other arrays and the
// readers meanwhile.

#include <chrono>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace smis::platform {
class NamedMutexLock;
}

namespace cimple {

// The request's client left while its method waited for the lock.
class SMIS_ClientGone : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Every place among the callers of the array was taken: the method was not
// carried out, and clients may retry.
class SMIS_MethodLockBusy : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class SMIS_MethodLock {
public:
    // Callers of one array that may wait for its lock or hold it at once.
    static constexpr unsigned WAIT_LIMIT = 32;
    // How long a method waits for the one running on its array.
    static constexpr std::chrono::seconds WAIT_BOUND{60};
    // The return value of a method that did not get the lock within the
    // bound, or was refused a place among its array's callers: the array is
    // busy with another method, and the client may try again (the array's
    // own "busy" answer).
    static constexpr std::uint32_t BUSY = 0x8013;

    // Inside a catch block: BUSY when the exception in flight is the lock
    // wait running out or a refused place, otherwise the method's own failure code.
    static std::uint32_t failureCode(std::uint32_t otherwise) noexcept;

    // Waits until no other thread or process runs a method on the address,
    // at most the wait bound; nests on one thread. Throws SMIS_ClientGone
    // (holding nothing) when the client of the thread's request has left by
    // the time the lock is taken.
    explicit SMIS_MethodLock(const char* address);
    ~SMIS_MethodLock();
    SMIS_MethodLock(const SMIS_MethodLock&) = delete;
    SMIS_MethodLock& operator=(const SMIS_MethodLock&) = delete;

    // The named mutex of the address's methods.
    static std::string mutexName(const char* address);
    // True while this thread waits for or holds a method lock (of any
    // array): it runs a configuration method, whose exchanges wait for an
    // array's channel bounded (SMIS_CommandCom::waitForChannel).
    static bool heldOnThisThread();
    // The wait bound in force (WAIT_BOUND unless a test shortened it), and
    // the setter tests use to shorten it.
    static std::chrono::milliseconds waitBound();
    static void setWaitBound(std::chrono::milliseconds bound);
    // The bound on the callers of one array in force, and its setter.
    static unsigned waitLimit();
    static void setWaitLimit(unsigned limit);

    // A place among the callers of one address, from before the wait until
    // the lock is given back.
    class Place {
    public:
        explicit Place(const std::string& name);
        ~Place();
        Place(const Place&) = delete;
        Place& operator=(const Place&) = delete;

    private:
        std::string _name;
    };

private:
    Place _place;
    std::unique_ptr<smis::platform::NamedMutexLock> _lock;
};

}  // namespace cimple
