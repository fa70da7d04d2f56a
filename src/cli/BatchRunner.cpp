#include "cli/BatchRunner.h"

#include "cli/ProfileEvaluator.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace kyklos {

namespace {

// Finished results allowed to wait per worker: enough to ride over one slow
// file (a minimum-zone fit that needs many passes) without idling the others.
constexpr std::size_t kWindowPerWorker = 4;

struct Slot {
    bool Ready = false;
    EvaluatedProfile Result;
    ProfileEvaluator* Evaluator = nullptr; // held until the sink is done with the document
};

class Batch {
public:
    Batch(const std::vector<BatchInput>& inputs, const BatchSettings& settings, const RecordFormatter& format)
        : inputs_(inputs), settings_(settings), format_(format)
    {
        const std::size_t count = inputs.size();
        workers_ = static_cast<std::size_t>(std::max(1, settings.Workers));
        workers_ = std::max<std::size_t>(1, std::min(workers_, count));
        window_ = kWindowPerWorker * workers_;
        slots_.resize(window_);
        // With kept documents every waiting result holds one, and every worker one more.
        const std::size_t documents = settings.KeepDocuments ? window_ + workers_ : workers_;
        for (std::size_t i = 0; i < documents; ++i) {
            evaluators_.push_back(std::make_unique<ProfileEvaluator>(settings.Analysis, nullptr, settings.Uncertainty));
            evaluators_.back()->SetTableReading(settings.TableReading);
            idle_.push_back(evaluators_.back().get());
        }
    }

    void Run(const RecordSink& sink)
    {
        std::vector<std::thread> threads;
        for (std::size_t i = 0; i < workers_; ++i) threads.emplace_back([this] { Work(); });
        for (std::size_t index = 0; index < inputs_.size(); ++index) {
            Slot& slot = slots_[index % window_];
            {
                std::unique_lock lock(mutex_);
                finished_.wait(lock, [&] { return slot.Ready; });
            }
            const bool goOn = sink(index, slot.Result);
            {
                std::lock_guard lock(mutex_);
                slot.Ready = false;
                slot.Result = {};
                if (slot.Evaluator) idle_.push_back(slot.Evaluator);
                slot.Evaluator = nullptr;
                ++emitted_;
                if (!goOn) next_ = inputs_.size();
            }
            if (!goOn) break;
            // One more file may start: a slot of the window (and with kept
            // documents an evaluator) is free. Waking one worker is enough;
            // waking all would only send the others back to sleep.
            startable_.notify_one();
        }
        startable_.notify_all();
        for (auto& thread : threads) thread.join();
    }

private:
    void Work()
    {
        for (;;) {
            std::size_t index = 0;
            ProfileEvaluator* evaluator = nullptr;
            {
                std::unique_lock lock(mutex_);
                startable_.wait(
                    lock, [&] { return next_ >= inputs_.size() || (next_ < emitted_ + window_ && !idle_.empty()); });
                if (next_ >= inputs_.size()) return;
                index = next_++;
                evaluator = idle_.back();
                idle_.pop_back();
            }
            // The last file is taken: the workers still waiting may end.
            if (index + 1 == inputs_.size()) startable_.notify_all();
            EvaluatedProfile result;
            const BatchInput& input = inputs_[index];
            result.Record =
                input.Error.empty() ? evaluator->Evaluate(input.Path) : FailedRecord(input.Path, input.Error);
            const CKyklosDoc* document = result.Record.Ok ? &evaluator->Document() : nullptr;
            result.Output = format_(result.Record, document);
            const bool keep = settings_.KeepDocuments && document != nullptr;
            if (keep) {
                result.Document = document;
            }
            {
                std::lock_guard lock(mutex_);
                Slot& slot = slots_[index % window_];
                slot.Result = std::move(result);
                slot.Ready = true;
                if (keep)
                    slot.Evaluator = evaluator;
                else
                    idle_.push_back(evaluator);
            }
            // Only the reader waits for a result. A worker that gave its
            // evaluator back takes the next file itself when the window allows.
            finished_.notify_one();
        }
    }

    const std::vector<BatchInput>& inputs_;
    const BatchSettings& settings_;
    const RecordFormatter& format_;
    std::size_t workers_ = 1;
    std::size_t window_ = 1;
    std::vector<Slot> slots_;
    std::vector<std::unique_ptr<ProfileEvaluator>> evaluators_;
    std::vector<ProfileEvaluator*> idle_;
    std::mutex mutex_;
    std::condition_variable startable_; // a worker may take the next file
    std::condition_variable finished_;  // a result is ready
    std::size_t next_ = 0;
    std::size_t emitted_ = 0;
};

} // namespace

void RunBatch(const std::vector<BatchInput>& inputs, const BatchSettings& settings, const RecordFormatter& format,
              const RecordSink& sink)
{
    if (inputs.empty()) return;
    if (settings.Workers <= 1) {
        // One worker runs on this thread: a process that never started a
        // thread keeps the C library's unlocked fast path for character input.
        ProfileEvaluator evaluator(settings.Analysis, nullptr, settings.Uncertainty);
        evaluator.SetTableReading(settings.TableReading);
        for (std::size_t index = 0; index < inputs.size(); ++index) {
            const BatchInput& input = inputs[index];
            EvaluatedProfile result;
            result.Record =
                input.Error.empty() ? evaluator.Evaluate(input.Path) : FailedRecord(input.Path, input.Error);
            const CKyklosDoc* document = result.Record.Ok ? &evaluator.Document() : nullptr;
            result.Output = format(result.Record, document);
            if (settings.KeepDocuments) {
                result.Document = document;
            }
            if (!sink(index, result)) return;
        }
        return;
    }
    Batch batch(inputs, settings, format);
    batch.Run(sink);
}

} // namespace kyklos
