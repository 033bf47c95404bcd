#include "intake/sids_outbox.h"

#include "intake/whole_file.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <iterator>

namespace {

QString AppendLine(const QString& path, std::string_view line) {
    std::string bytes(line);
    bytes += '\n';
    return AppendToFile(path, bytes);
}

}  // namespace

SidsOutbox::SidsOutbox(const QString& folder) : folder_(folder) {
    const WholeFile outbox = ReadWholeFile(Path(kOutboxName));
    std::string_view text = ByteView(outbox.bytes);
    const std::size_t complete = text.rfind('\n');
    if (complete == std::string_view::npos) text = {};
    else text = text.substr(0, complete + 1);
    if (text.size() < static_cast<std::size_t>(outbox.bytes.size())) {
        // a line cut off mid-append: cut it off the file too, so the next line starts clean
        QFile file(Path(kOutboxName));
        file.resize(static_cast<qint64>(text.size()));
    }
    delivered_ = ReadWholeFile(Path(kDeliveredName)).bytes.trimmed().toLongLong();
    long long number = 0;
    for (std::size_t start = 0; start < text.size(); ++number) {
        const std::size_t end = text.find('\n', start);
        if (number >= delivered_) waiting_.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    delivered_ = std::min(delivered_, number);
}

QString SidsOutbox::Path(const char* name) const { return QDir(folder_).filePath(name); }

QString SidsOutbox::Add(std::string_view line) {
    unwritten_.emplace_back(line);
    std::string bytes;
    for (const std::string& held : unwritten_) bytes.append(held).append("\n");
    if (QString error = AppendToFile(Path(kOutboxName), bytes); !error.isEmpty()) return error;
    std::move(unwritten_.begin(), unwritten_.end(), std::back_inserter(waiting_));
    unwritten_.clear();
    return {};
}

QString SidsOutbox::Delivered() {
    waiting_.pop_front();
    ++delivered_;
    if (!waiting_.empty()) return WriteDelivered();
    // all answered: both files start afresh, the count first, so that a crash between the
    // two sends old lines again rather than skip new ones
    const long long answered = delivered_;
    delivered_ = 0;
    if (QString error = WriteDelivered(); !error.isEmpty()) {
        delivered_ = answered;
        return error;
    }
    QFile outbox(Path(kOutboxName));
    return outbox.resize(0) ? QString() : outbox.errorString();
}

QString SidsOutbox::Rejected(std::string_view answer) {
    std::string line = front();
    line.append(" ").append(answer);
    std::replace(line.begin(), line.end(), '\n', ' ');
    const QString error = AppendLine(Path(kRejectsName), line);
    const QString delivered = Delivered();
    return error.isEmpty() ? delivered : error;
}

QString SidsOutbox::WriteDelivered() {
    return WriteFileSafely(Path(kDeliveredName), std::to_string(delivered_) + '\n');
}
