#include "generation/ray_run.h"

#include <array>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "controls/failure.h"
#include "distributions/distribution_file.h"
#include "generation/emission.h"
#include "generation/flux.h"
#include "output/file_sink.h"
#include "output/ray_format.h"

namespace lumiva {

namespace {

constexpr double kFluxMultiplier = 1;

// Rays travel from the drawing thread to the writing thread in blocks: the draws stay in
// their one sequence on the caller's thread (which also reports progress), while the
// second core formats and writes the previous block.
constexpr std::size_t kRaysPerBlock = 8192;

struct RayBlock {
    std::vector<double> fields = std::vector<double>(kRaysPerBlock * 7);
    std::size_t rays = 0;
};

class BlockWriter {
public:
    explicit BlockWriter(FileSink& sink) : sink_(sink) {
        for (RayBlock& block : blocks_) free_.push_back(&block);
        thread_ = std::thread([this] { work(); });
    }
    // After a failure of the drawing thread: let the writer stop, report nothing.
    ~BlockWriter() { stop(); }

    // An empty block to fill; rethrows a failure of the writing thread.
    RayBlock* take() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !free_.empty() || error_; });
        if (error_) std::rethrow_exception(error_);
        RayBlock* block = free_.back();
        free_.pop_back();
        block->rays = 0;
        return block;
    }

    void hand(RayBlock* block) {
        {
            const std::lock_guard lock(mutex_);
            full_.push_back(block);
        }
        changed_.notify_all();
    }

    // Waits until every handed block is written; rethrows a failure of the writing thread.
    void finish() {
        stop();
        if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
    }

private:
    void stop() {
        {
            const std::lock_guard lock(mutex_);
            closing_ = true;
        }
        changed_.notify_all();
        if (thread_.joinable()) thread_.join();
    }

    void work() {
        for (;;) {
            RayBlock* block;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [this] { return !full_.empty() || closing_; });
                if (full_.empty()) return;
                block = full_.front();
                full_.pop_front();
            }
            try {
                const double* ray = block->fields.data();
                for (std::size_t i = 0; i < block->rays; ++i, ray += 7)
                    sink_.commit(formatRayLine(*reinterpret_cast<const double(*)[7]>(ray),
                                               sink_.reserve(kMaxRayLineChars)));
            } catch (...) {
                const std::lock_guard lock(mutex_);
                error_ = std::current_exception();
                full_.clear();
                changed_.notify_all();
                return;
            }
            {
                const std::lock_guard lock(mutex_);
                free_.push_back(block);
            }
            changed_.notify_all();
        }
    }

    FileSink& sink_;
    RayBlock blocks_[3];
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<RayBlock*> free_;
    std::deque<RayBlock*> full_;
    std::exception_ptr error_;
    bool closing_ = false;
    std::thread thread_;
};

void writeRays(const RunParameters& p, const std::array<Distribution, 4>& tables, FileSink& sink,
               const RunCallbacks& callbacks) {
    RandomSource random(p.seed);
    SobolStream sobol(p.sobolStartSeed);
    FluxWeighting flux(p, tables[kAngularY], tables[kAngularX]);
    BlockWriter writer(sink);
    RayBlock* block = writer.take();
    const std::int64_t n = p.rayCount;
    std::int64_t shown = -1;
    for (std::int64_t i = 1; i <= n; ++i) {
        const std::int64_t permille = (i * 1000) / n;
        if (permille != shown && callbacks.progress) {
            shown = permille;
            callbacks.progress(static_cast<int>(permille));
        }
        const EmissionPoint point = drawEmissionPoint(p, random, sobol);
        const EmissionDirection direction = drawEmissionDirection(p, random, sobol);
        const double intensity = flux.relativeIntensity(direction);
        double* fields = block->fields.data() + block->rays * 7;
        fields[0] = point.x;
        fields[1] = point.y;
        fields[2] = point.z;
        fields[3] = direction.L;
        fields[4] = direction.M;
        fields[5] = direction.N;
        fields[6] = intensity * kFluxMultiplier;
        if (++block->rays == kRaysPerBlock) {
            writer.hand(block);
            block = writer.take();
        }
    }
    if (block->rays > 0) writer.hand(block);
    writer.finish();
}

}  // namespace

RunSummary generateRaySet(const RunParameters& p, char decimalSeparator,
                          const RunCallbacks& callbacks) {
    if (p.rayCount < 1) throw Failure("The number of rays must be at least 1");
    FileSink sink(p.outputPath);

    // Read in picker order; a failure here leaves the file created or emptied, as the
    // run has always done, but closed.
    std::array<Distribution, 4> tables;
    for (int slot = kAngularY; slot <= kSpatialX; ++slot)
        if (!(p.readOnlyGivenDistributionFiles && p.distributionFiles[slot].empty()))
            tables[slot] = readDistributionFile(p.distributionFiles[slot], decimalSeparator,
                                                kRunTableCapacity);

    try {
        const HeaderCounts counts{static_cast<std::int64_t>(tables[kSpatialX].count()),
                                  static_cast<std::int64_t>(tables[kSpatialY].count()),
                                  static_cast<std::int64_t>(tables[kAngularY].count())};
        sink.write(rayHeader(p.format, p.rayCount, counts));
        if (callbacks.writingStarted) callbacks.writingStarted();
        writeRays(p, tables, sink, callbacks);
        sink.close();
    } catch (const Failure& failure) {
        const bool removed = sink.discard();
        throw Failure(std::string(failure.what()) +
                      (removed ? "; the incomplete ray set " + p.outputPath + " was removed"
                               : "; the ray set " + p.outputPath + " is incomplete"));
    } catch (...) {
        sink.discard();
        throw;
    }
    return RunSummary{p.rayCount, sink.bytesWritten()};
}

}  // namespace lumiva
