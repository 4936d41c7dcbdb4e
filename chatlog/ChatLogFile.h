// CChatLogFile: one friend's chat log, open for reading with a copy of its
// header and, once listed, a read-only view of its records in place.
#pragma once

#include "ChatLogFormat.h"
#include "ReadOnlyFile.h"
#include "ReadOnlyMapping.h"

#include <cstdint>
#include <string_view>
#include <vector>

constexpr std::size_t kChatLogMaxPath = 260;

class CChatLogFile {
public:
    // Closed: no file. Open: file, header copy and size valid, no view.
    // Mapped: Open plus the view that record positions point into.
    enum class State { Closed, Open, Mapped };

    CChatLogFile();
    ~CChatLogFile() { Close(); }
    // Panes hand the object around by address and keep positions inside its
    // view, so it never moves.
    CChatLogFile(const CChatLogFile&) = delete;
    CChatLogFile& operator=(const CChatLogFile&) = delete;

    // Opens an existing log and reads its header. Fails for a null or empty
    // path, one of 260 bytes or more, a missing file or a directory, a file
    // shorter than 80 bytes or a header that cannot be read; a failure after
    // the file was opened leaves it open until Close. The narrow path is GBK.
    bool Open(const char* path);
    // The same for a wide path (fewer than 260 units), as the wide directory
    // listing yields it.
    bool Open(const wchar_t* path);
    // Reads bytes 0-79 into the header copy; true only for all 80.
    bool ReadHeader();
    bool IsOpen() const { return m_hFile.IsOpen(); }
    bool IsMapped() const { return m_view != nullptr; }
    State GetState() const;

    // Maps the file on first use and appends the position of every complete
    // record in file order (see WalkChatLogRecords). Never looks beyond the
    // size taken at open, nor beyond the file's current size.
    void EnumRecords(chatlog::ChatLogRecordIndex& index);
    // EnumRecords without an index, for callers that keep less than a
    // position per record: maps on first use and calls visit(position) for
    // every complete record in file order.
    template <class Visit> void VisitRecords(Visit&& visit) {
        std::uint32_t limit = 0;
        if (const unsigned char* view = MapForWalk(limit))
            chatlog::VisitChatLogRecords(view, limit, visit);
    }
    // VisitRecords with each record's length as the walk checked it:
    // visit(position, length). Readers use that length, never wLength read
    // again (another program may have rewritten it since).
    template <class Visit> void VisitRecordLengths(Visit&& visit) {
        std::uint32_t limit = 0;
        if (const unsigned char* view = MapForWalk(limit))
            chatlog::VisitChatLogRecordLengths(view, limit, visit);
    }
    // Maps the file on first use; the view and how far a walk may read in
    // it (limit), or null when there is nothing to walk.
    const unsigned char* MapForWalk(std::uint32_t& limit);
    // VisitRecords with each record's direction: visit(position, direction).
    template <class Visit> void VisitDirectedRecords(Visit&& visit) {
        VisitRecords(
            [&visit](chatlog::ChatLogRecordPos p) { visit(p, chatlog::RecordDirection(p)); });
    }
    // Whether the next mapping reads the whole file in at once (the default,
    // for the viewer, which keeps its view while a friend is selected). A
    // reader that streams through the log once turns it off.
    void SetPrefault(bool prefault) { m_prefault = prefault; }
    // For a reader that looks at many logs once, such as a search of every
    // friend, through the handle already open: there a mapping per log costs
    // more than the read itself (Windows, and Wine most of all), and a piece
    // at a time keeps its memory bounded whatever the log's size.
    // The bytes there are to read: the size taken at open, less when the
    // file is shorter now. False when the size cannot be read.
    bool ReadableSize(std::uint32_t& size) const;
    // Reads up to `count` bytes at `offset` of the file, never past the
    // size taken at open; `got` is what arrived, less where the file ends.
    // False when the read fails.
    bool ReadAt(std::uint32_t offset, void* buffer, std::size_t count, std::size_t& got) const;
    // One past the mapped bytes, null while unmapped: the bound for a reader
    // that keeps positions from an earlier walk and reads their lengths
    // again (RecordLengthWithin), since the client may rewrite a record.
    const unsigned char* ViewEnd() const { return m_view ? m_view + m_hMapping.Size() : nullptr; }
    // Gives up the view; every position delivered so far becomes invalid.
    void ReleaseView();
    // ReleaseView, then closes the file.
    void Close();

    const chatlog::ChatLogHeader& Header() const { return m_header; }
    std::string_view FriendKey() const { return chatlog::HeaderFriendKey(m_header); }
    std::string_view OwnerName() const { return chatlog::HeaderOwnerName(m_header); }
    std::string_view FriendName() const { return chatlog::HeaderFriendName(m_header); }
    std::string_view SenderName(chatlog::ChatLogRecordPos record) const {
        return chatlog::RecordSender(m_header, record);
    }
    // The path as given to the narrow Open (empty after a wide Open).
    const char* Path() const { return m_path; }
    std::uint32_t FileSize() const { return m_fileSize; }

private:
    bool FinishOpen();

    char m_path[kChatLogMaxPath];
    const unsigned char* m_view = nullptr;
    chatlog::ChatLogHeader m_header;
    std::uint32_t m_fileSize = 0;
    CReadOnlyFile m_hFile;
    CReadOnlyMapping m_hMapping;
    bool m_prefault = true;
};
