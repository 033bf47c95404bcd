#pragma once

#include <QString>

#include <deque>
#include <string>
#include <string_view>

// Frames on their way to the database, kept in the capture folder so that a crash, a restart
// or a day offline delays them but loses none. A frame is appended to the outbox before any
// request is made, one line and one write a frame; it leaves only when the server has answered,
// by raising the count of delivered lines in a file beside it. Delivery is at least once: a
// crash between the server's answer and that count sends the frame again.
class SidsOutbox {
public:
    static constexpr char kOutboxName[] = "sids-outbox.txt";
    static constexpr char kDeliveredName[] = "sids-outbox.delivered";
    static constexpr char kRejectsName[] = "sids-rejects.txt";

    // Loads what an earlier run left waiting. A last line cut off by a crash, never complete
    // and never sent, is dropped.
    explicit SidsOutbox(const QString& folder);

    // Appends a line ("TIME HEX"); the error text when it could not be written. A line the
    // file could not take waits in memory and goes in, in its order, with the next one it takes.
    QString Add(std::string_view line);
    // What can be sent: the lines in the file.
    bool empty() const { return waiting_.empty(); }
    const std::string& front() const { return waiting_.front(); }
    int waiting() const { return static_cast<int>(waiting_.size() + unwritten_.size()); }
    int unwritten() const { return static_cast<int>(unwritten_.size()); }
    // The front line was answered: it leaves; a rejected one goes to the rejects file with
    // the server's answer.
    QString Delivered();
    QString Rejected(std::string_view answer);

private:
    QString Path(const char* name) const;
    QString WriteDelivered();

    QString folder_;
    std::deque<std::string> waiting_;
    std::deque<std::string> unwritten_;  // lines the file could not take yet
    long long delivered_ = 0;  // lines of the outbox answered already
};
