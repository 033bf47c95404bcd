#include "output.h"

#include <algorithm>

void Print(std::FILE* stream, const QString& text) { std::fputs(text.toLocal8Bit().constData(), stream); }

int UsageError(const QString& message) {
    Print(stderr, QStringLiteral("%1: %2\nTry \"%1 --help\".\n").arg(kProgram, message));
    return 2;
}

int Failure(const QString& message) {
    Print(stderr, QStringLiteral("%1: %2\n").arg(kProgram, message));
    return 1;
}

QString Output::Open(const QString& path) {
    if (path.isEmpty() || path == "-") return {};
    file_.emplace(path);
    path_ = path;
    const QString error = file_->Open();
    return error.isEmpty() ? error : path + ": " + error;
}

void Output::Write(std::string_view bytes, bool push) {
    if (file_) return file_->Write(bytes);
    written_ = std::fwrite(bytes.data(), 1, bytes.size(), stream_) == bytes.size() && written_;
    if (push) std::fflush(stream_);
}

QString Output::Close() {
    if (!file_) return std::fflush(stream_) == 0 && written_ ? QString() : QStringLiteral("standard output: write error");
    const QString error = file_->Commit();
    return error.isEmpty() ? error : path_ + ": " + error;
}

void Progress::Show(qint64 done) {
    if (!shown_ || clock_.elapsed() < 250) return;
    clock_.restart();
    std::fprintf(stderr, "\r%.1f MB read", static_cast<double>(done) / 1e6);
    if (total_ > 0) std::fprintf(stderr, " (%lld%%)", static_cast<long long>(std::min<qint64>(100, 100 * done / total_)));
    std::fflush(stderr);
}

void Progress::Clear() {
    if (shown_) std::fputs("\r\033[K", stderr);
}
