// Where the text of an operation's answer goes while it is written. The
// operations append to text() and call piece_done() after each whole piece
// (an instance, a name); a sink that streams may send the text so far at
// those points and start over with an empty text, so an answer never needs
// to be held whole.
#ifndef HOST_CIMSERVER_ANSWER_SINK_H
#define HOST_CIMSERVER_ANSWER_SINK_H

#include <cstddef>
#include <string>

namespace cimserver {

class AnswerSink {
public:
    virtual ~AnswerSink() = default;

    std::string& text() { return _text; }

    // The text so far ends with whole pieces.
    void piece_done()
    {
        offer();
        _piece_end = _text.size();
    }
    // True once part of the answer has been sent: what was sent stays.
    bool started() const { return _started; }
    // True once the client can no longer take the answer (it went away or
    // stopped reading): whatever is written from then on is thrown away.
    virtual bool abandoned() const { return false; }
    // Drops what follows the last whole piece.
    void drop_partial() { _text.resize(_piece_end); }

protected:
    // May send the text and clear it (setting _started). Nothing by default:
    // the answer is kept whole.
    virtual void offer() {}

    std::string _text;
    std::size_t _piece_end = 0;
    bool _started = false;
};

} // namespace cimserver

#endif
