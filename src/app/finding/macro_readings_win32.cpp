#include "app/finding/macro_readings_win32.h"

#include <mutex>
#include <utility>

#include "platform/text_reader_win32.h"
#include "platform/workers_win32.h"

namespace kiv {
namespace {

MacroReadings::ReaderMaker readerMaker = nullptr;

// The window hears of readings at most this often while a long list is
// read: each time, its searches are built again.
constexpr ULONGLONG kNewsEveryMs = 1000;

// A single-threaded apartment answers its messages: the input method's
// object may make windows of its own on this thread.
void AnswerMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

// What the window's thread and the worker share.
struct MacroReadings::Mailbox {
    std::mutex lock;
    std::vector<std::u16string> waiting;                          // to be read
    std::vector<std::pair<std::u16string, std::u16string>> came;  // read, not yet taken
    bool working = false;
    bool noReader = false;  // no input method answered: nothing is asked again
};

void MacroReadings::SetReaderMaker(ReaderMaker maker) {
    readerMaker = maker;
}

MacroReadings::MacroReadings() : mailbox_(std::make_shared<Mailbox>()) {}

// The worker stops after the text it reads now: the program's end need not
// wait for a long list to be read.
MacroReadings::~MacroReadings() {
    std::lock_guard guard(mailbox_->lock);
    mailbox_->waiting.clear();
    mailbox_->noReader = true;
}

void MacroReadings::Attach(HWND window, UINT message) {
    window_ = window;
    message_ = message;
}

bool MacroReadings::Want() {
    return !std::exchange(wanted_, true);
}

std::vector<MacroReading> MacroReadings::Of(const MacroList& list) {
    std::vector<MacroReading> readings(list.Count());
    if (known_.empty() && (!wanted_ || NoReader())) return readings;
    std::vector<std::u16string> unknown;
    const auto readingOf = [&](std::u16string_view text) -> std::u16string {
        if (!MayHaveReading(text)) return {};
        std::u16string key(text);
        if (const auto found = known_.find(key); found != known_.end()) return found->second;
        if (wanted_ && asked_.insert(key).second) unknown.push_back(std::move(key));
        return {};
    };
    for (std::size_t position = 1; position <= list.Count(); ++position) {
        readings[position - 1].title = readingOf(list.Title(position));
        if (list.Message(position) != list.Title(position)) {
            readings[position - 1].message = readingOf(list.Message(position));
        }
    }
    if (!unknown.empty()) Ask(std::move(unknown));
    return readings;
}

void MacroReadings::Ask(std::vector<std::u16string> texts) {
    {
        std::lock_guard guard(mailbox_->lock);
        if (mailbox_->noReader) return;
        mailbox_->waiting.insert(mailbox_->waiting.end(), std::make_move_iterator(texts.begin()),
                                 std::make_move_iterator(texts.end()));
        if (mailbox_->working) return;
        mailbox_->working = true;
    }
    const std::shared_ptr<Mailbox> mailbox = mailbox_;
    const HWND window = window_;
    const UINT message = message_;
    const ReaderMaker maker = readerMaker != nullptr ? readerMaker : MakeInputMethodReader;
    const bool started = StartWorker([mailbox, window, message, maker] {
        // Made and used on this thread alone: its apartment is this one.
        std::unique_ptr<TextReader> reader = maker();
        ULONGLONG lastNews = GetTickCount64();
        bool news = false;
        for (;;) {
            AnswerMessages();
            std::u16string text;
            {
                std::lock_guard guard(mailbox->lock);
                if (reader == nullptr) mailbox->noReader = true;
                if (reader == nullptr || mailbox->waiting.empty()) {
                    mailbox->waiting.clear();
                    mailbox->working = false;
                    break;
                }
                text = std::move(mailbox->waiting.back());
                mailbox->waiting.pop_back();
            }
            std::u16string reading = reader->ReadingOf(text).value_or(u"");
            {
                std::lock_guard guard(mailbox->lock);
                mailbox->came.emplace_back(std::move(text), std::move(reading));
            }
            news = true;
            if (GetTickCount64() - lastNews >= kNewsEveryMs) {
                lastNews = GetTickCount64();
                news = false;
                PostMessageW(window, message, 0, 0);
            }
        }
        if (news) PostMessageW(window, message, 0, 0);
    });
    if (!started) {
        std::lock_guard guard(mailbox_->lock);
        mailbox_->working = false;
    }
}

bool MacroReadings::NoReader() const {
    std::lock_guard guard(mailbox_->lock);
    return mailbox_->noReader;
}

bool MacroReadings::Take() {
    std::vector<std::pair<std::u16string, std::u16string>> came;
    {
        std::lock_guard guard(mailbox_->lock);
        came.swap(mailbox_->came);
    }
    bool any = false;
    for (auto& [text, reading] : came) {
        // A reading that is the text itself finds nothing the text does not.
        if (reading.empty() || reading == text) continue;
        known_.emplace(std::move(text), std::move(reading));
        any = true;
    }
    return any;
}

}  // namespace kiv
