#pragma once
// Task files (".tsk"): any number of task blocks as text lines.
//
//   /*TASK*/
//   <task name>
//   0
//   <ordinary points>,<extra points: 0, 1 before the start, 2 also after the finish>,<points>
//   <name>,<lat deg>,0,0,<lon deg west>,0,0[,<altitude ft>]   one per point: the ordinary
//                                     points, then the extra start, then the extra finish
//   \*zones*\   (header line)
//   <points>
//   <role>,<kind>,<cylinder>,<sector>,<cylinder r>,<sector r>,<sector mode>,<angle>,
//       <direction>,<inner r>,<target lon>,<target lat>,<target alt, -10000 none>
//   <fifth value>,<start line width>,<finish line width>,<start is line>,<finish is line>
//   \*notes*\    <points>,<with a note>   then per point "1,<note, lines joined by \>" or "0"
//   \*images*\   likewise with image file names
//   \*sounds*\   likewise with sound file names
//
// The section headers are literal text with backslashes. The last three
// sections are optional and written only when some point has such an
// entry. Lines are written with CR LF; the reader takes CR, LF or both and
// folds full-width characters. Numbers are in the C form. Image and sound
// names are kept only when the file exists (see AttachmentPath).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/text_file.h"
#include "nav/task_model.h"

namespace nav {

// The task blocks of a text, read one after the other.
class TaskBlockReader {
  public:
    explicit TaskBlockReader(std::wstring text) : text_(std::move(text)) {}

    // 0 when a task was read (perhaps without its optional sections); 1 at
    // the end of the text or for a broken task, which the caller discards.
    int ReadTask(CTask& task);
    // After a 1: the text from where that read began, when it holds more
    // than blanks (a broken task and all after it); else empty.
    std::wstring_view Unread() const { return unread_; }

  private:
    struct Line {
        std::wstring_view text;
        std::size_t start;
    };
    std::optional<Line> NextLine();
    void SetBack(const Line& line) { pos_ = line.start; }

    int ReadBlock(CTask& task);
    bool ReadPoints(CTask& task, int ordinary, int extra);
    bool ReadZones(CTask& task);
    bool ReadTaskLine(CTask& task);
    void ReadSections(CTask& task);
    bool ReadSection(CTask& task, int section);

    std::wstring text_;
    std::size_t pos_ = 0;
    std::wstring_view unread_;
};

// The text of one task block as the writer puts it.
std::wstring FormatTaskBlock(const CTask& task);

class CTaskFile : public core::TextFile {
  public:
    // As TaskBlockReader::ReadTask, over the rest of the file.
    int ReadTask(CTask& task);
    // 0 when every line was written.
    int WriteTask(const CTask& task);
    // Replaces the list's tasks by the file's, legs computed; stops at a
    // broken task (the tasks before it stay, the text from it on becomes
    // the list's unread text).
    void ReadAllTasks(CTaskList& list);
    // Writes the tasks in order, then the list's unread text, so a file
    // whose read stopped early is never rewritten shorter; 0 when all was
    // written.
    int WriteAllTasks(const CTaskList& list);

  private:
    std::optional<TaskBlockReader> reader_;
};

// How reading a task file went.
struct TaskFileLoad {
    bool opened = false;
    int error = 0;              // the system error number when not opened (ENOENT: no file)
    bool stoppedEarly = false;  // a broken task ended the read; the rest was kept as unread text
    std::size_t longLines = 0;  // lines longer than the text reader's piece, left out
};

// Reads every task of the file into the list; when the file cannot be
// opened the list is left as it was.
TaskFileLoad LoadTaskFile(const std::wstring& path, CTaskList& list);

// Writes the list to the file through a temporary file renamed over it, so
// a failure leaves the old file. A failure is shown to the user ("File
// Error" box with the system's text) and gives false.
bool SaveTaskFile(const std::wstring& path, const CTaskList& list);

}  // namespace nav
