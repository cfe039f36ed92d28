#include "retarget/segmented_build.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "retarget/frame_writer.h"

namespace varnex {

namespace {
// Bytes asked of the source at a time.
constexpr std::size_t READ_BYTES = 1 << 16;
// No frame starting within this many segments' bytes: the rest is built on the calling thread,
// which holds one frame at a time whatever its size.
constexpr std::size_t MAX_SEGMENTS_UNCUT = 4;

// The bytes held, then the rest of a source.
class CChainedSource : public CByteSource {
public:
    CChainedSource(std::string_view first, CByteSource& rest, bool restAtEnd)
        : m_first(first), m_rest(rest), m_restAtEnd(restAtEnd) {}

    std::size_t Read(char* buffer, std::size_t count) override {
        if (m_pos < m_first.size()) {
            std::size_t n = std::min(count, m_first.size() - m_pos);
            std::memcpy(buffer, m_first.data() + m_pos, n);
            m_pos += n;
            return n;
        }
        return m_restAtEnd ? 0 : m_rest.Read(buffer, count);
    }
    const std::string& Name() const override { return m_rest.Name(); }

private:
    std::string_view m_first;
    std::size_t m_pos = 0;
    CByteSource& m_rest;
    bool m_restAtEnd;
};

class CTextOutput : public COutputSink {
public:
    explicit CTextOutput(std::string& text) : m_text(text) {}
    void Write(std::string_view bytes) override { m_text.append(bytes); }

private:
    std::string& m_text;
};

// A segment of whole lines and what its worker made of it.
struct SEGMENT {
    std::string bytes;  // whole lines, then READABLE_PAST_LINE zero bytes
    std::size_t size = 0;
    bool last = false;  // the source ends with it
    std::string output;
    int lines = 0;       // lines read
    bool ended = false;  // the animation's "end" was met
    std::exception_ptr error;
    CRootHeightRange heights;
    bool done = true;
};

// A line's number in a segment, counted from the segment's start, made the file's.
[[noreturn]] void RethrowInFile(const std::exception_ptr& error, int linesBefore) {
    try {
        std::rethrow_exception(error);
    } catch (const CVarnexError& e) {
        if (e.Line() <= 0) throw;
        throw CVarnexError(e.Kind(), e.File(), e.Line() + linesBefore, e.Values(),
                           e.SystemError());
    }
}

class CWorkers {
public:
    CWorkers(const BUILD_JOB& job, const COMPOSE_CONTEXT& context, std::vector<SEGMENT>& segments)
        : m_job(job), m_context(context), m_segments(segments) {
        for (int i = 0; i < job.threads; ++i) {
            m_writers.push_back(std::make_unique<CFrameWriter>(job, context));
        }
        for (int i = 0; i < job.threads; ++i) {
            m_threads.emplace_back([this, i] { Run(*m_writers[static_cast<std::size_t>(i)]); });
        }
    }
    CWorkers(const CWorkers&) = delete;
    CWorkers& operator=(const CWorkers&) = delete;

    // Segments being built are finished first (they belong to the caller); queued ones are not.
    ~CWorkers() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
            m_queue.clear();
        }
        m_wake.notify_all();
        for (std::thread& thread : m_threads) thread.join();
    }

    void Submit(std::size_t index) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_segments[index].done = false;
            m_queue.push_back(index);
        }
        m_wake.notify_one();
    }

    SEGMENT& WaitFor(std::size_t index) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_finished.wait(lock, [&] { return m_segments[index].done; });
        return m_segments[index];
    }

private:
    void Run(CFrameWriter& writer) {
        for (;;) {
            std::size_t index = 0;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_wake.wait(lock, [&] { return m_stop || !m_queue.empty(); });
                if (m_queue.empty()) return;
                index = m_queue.front();
                m_queue.pop_front();
            }
            Build(writer, m_segments[index]);
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_segments[index].done = true;
            }
            m_finished.notify_all();
        }
    }

    void Build(CFrameWriter& writer, SEGMENT& segment) {
        segment.output.clear();
        segment.heights = CRootHeightRange();
        segment.error = nullptr;
        segment.ended = false;
        CTextOutput output(segment.output);
        CMemorySource name(std::string_view(), m_context.animSource);
        CLineReader reader(name, std::string_view(segment.bytes.data(), segment.size), 1);
        writer.Reset();
        writer.SetOutput(output);
        writer.SetRootHeights(m_job.rootHeights != nullptr ? &segment.heights : nullptr);
        try {
            segment.ended = ReadFrames(reader, writer, m_job.lineEnd, segment.last);
        } catch (...) {
            segment.error = std::current_exception();
        }
        segment.lines = reader.LineNumber();
    }

    const BUILD_JOB& m_job;
    const COMPOSE_CONTEXT& m_context;
    std::vector<SEGMENT>& m_segments;
    std::vector<std::unique_ptr<CFrameWriter>> m_writers;
    std::vector<std::thread> m_threads;
    std::mutex m_mutex;
    std::condition_variable m_wake;      // a segment is queued, or the workers must stop
    std::condition_variable m_finished;  // a segment is done
    std::deque<std::size_t> m_queue;
    bool m_stop = false;
};
}  // namespace

std::size_t LastFrameStart(std::string_view data) {
    // Walk back over complete lines: [start, end) without its line end, which is an LF not
    // preceded by a CR, or a CR.
    std::size_t i = data.size();
    while (i > 0 && data[i - 1] != '\n' && data[i - 1] != '\r') --i;
    while (i > 0) {
        std::size_t end = i - 1;
        if (data[end] == '\n' && end > 0 && data[end - 1] == '\r') --end;
        std::size_t start = end;
        while (start > 0 && data[start - 1] != '\n' && data[start - 1] != '\r') --start;
        if (start == 0) return 0;
        if (StartsFrame(data.substr(start, end - start))) return start;
        i = start;
    }
    return 0;
}

void WriteSegmentedAnimation(const BUILD_JOB& job, CLineReader& anim, COutputSink& out) {
    COMPOSE_CONTEXT context = ComposeContextOf(job, anim.SourceName());
    WriteModelHeader(job, out);
    CFrameWriter here(job, context);  // a row's refusal comes before any thread starts
    here.SetOutput(out);

    CByteSource& source = anim.Source();
    std::string pending(anim.Unread());
    bool atEnd = anim.SourceAtEnd();
    int linesBefore = anim.LineNumber();
    auto fill = [&](std::size_t size) {
        while (!atEnd && pending.size() < size) {
            std::size_t held = pending.size();
            std::size_t ask = std::min(READ_BYTES, size - held);
            pending.resize(held + ask);
            std::size_t got = source.Read(pending.data() + held, ask);
            pending.resize(held + got);
            atEnd = got == 0;
        }
    };
    // The rest as one thread builds it, from the bytes held on: in place when they are all.
    auto buildHere = [&] {
        if (atEnd) {
            std::size_t size = pending.size();
            pending.append(READABLE_PAST_LINE, '\0');
            CMemorySource name(std::string_view(), source.Name());
            CLineReader reader(name, std::string_view(pending.data(), size), linesBefore + 1);
            ReadFrames(reader, here, job.lineEnd, true);
            return;
        }
        CChainedSource rest(pending, source, atEnd);
        CLineReader reader(rest, 0, linesBefore + 1);
        ReadFrames(reader, here, job.lineEnd, true);
    };

    fill(job.segmentBytes);
    if (job.threads <= 1 || atEnd) return buildHere();

    std::vector<SEGMENT> segments(static_cast<std::size_t>(job.threads) * 2);
    CWorkers workers(job, context, segments);
    std::size_t submitted = 0, written = 0;
    // Writes the oldest segment; false once the animation's "end" is written.
    auto writeOldest = [&] {
        SEGMENT& segment = workers.WaitFor(written++ % segments.size());
        if (segment.error) RethrowInFile(segment.error, linesBefore);
        out.Write(segment.output);
        if (job.rootHeights != nullptr) job.rootHeights->Merge(segment.heights);
        linesBefore += segment.lines;
        return !segment.ended;
    };
    for (;;) {
        std::size_t cut = 0;
        std::exception_ptr readError;
        try {
            for (std::size_t want = job.segmentBytes;; want += job.segmentBytes) {
                fill(want);
                cut = atEnd ? pending.size() : LastFrameStart(pending);
                if (cut != 0 || atEnd || want >= MAX_SEGMENTS_UNCUT * job.segmentBytes) break;
            }
        } catch (...) {
            // Segments read before it come first: one of them may end the animation.
            readError = std::current_exception();
        }
        if (readError || cut == 0) {
            while (written < submitted) {
                if (!writeOldest()) return;
            }
            if (readError) std::rethrow_exception(readError);
            return buildHere();
        }
        if (submitted - written == segments.size() && !writeOldest()) return;
        std::size_t index = submitted++ % segments.size();
        SEGMENT& segment = segments[index];
        // The segment takes the buffer; only the start of the next frame is copied back.
        segment.bytes.swap(pending);
        pending.assign(segment.bytes, cut);
        segment.bytes.resize(cut);
        segment.size = cut;
        segment.bytes.append(READABLE_PAST_LINE, '\0');
        segment.last = atEnd && pending.empty();
        workers.Submit(index);
        if (segment.last) break;
    }
    while (written < submitted) {
        if (!writeOldest()) return;
    }
}

}  // namespace varnex
