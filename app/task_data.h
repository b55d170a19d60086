#pragma once
// The tracker's data: the task list (hl20task.txt, one line per known program: path TAB
// description TAB group), the day list of one user and day (path=elapsed lines, one section
// of the INI file hl20work.txt), the user list taken from that file's section names, and the
// elapsed-time texts written into the work file.

#include <string>
#include <string_view>

#include "platform/rtl/date_time.h"

class TStrings;
class TStringList;
class TStrHolder;

// The pseudo-task that collects time while no program could be found in front. It stands
// in the day list and the work file like a path, never in the task list.
inline const std::string UnknownTask = "unknown_task";
// The key of a work-file section that holds the user's whole time of that day.
inline const std::string TotalKey = "total";
// The group of blocked programs.
inline const std::string BlockedGroup = "6";
inline constexpr char TaskFileName[] = "hl20task.txt";
inline constexpr char WorkFileName[] = "hl20work.txt";

// ---- Task-list lines ------------------------------------------------------------------

// Splits a task-list line at its TABs: the path before the first, the description between
// the first and the second, the group after the second. Without a TAB the whole line is the
// group; with one TAB the description is empty.
void SplitTab3(const std::string& line, std::string& path, std::string& description,
               std::string& group);
// The same as views into line.
void SplitTab3(std::string_view line, std::string_view& path, std::string_view& description,
               std::string_view& group);

// Binary search of a sorted list by the text before the first TAB of each line (the whole
// line has no TAB: an empty key), ignoring case in the user's locale. Returns whether key is
// there; index receives the first line with that key when the list accepts duplicates, the
// line found otherwise, and the insertion place when there is none. A key the search misses
// because the locale orders lines and keys differently is still found, by a scan.
bool FindTask(const TStringList& list, const std::string& key, int& index);
bool FindTask(const TStrHolder& holder, const std::string& key, int& index);

// The ";"-terminated paths of every line whose group is exactly "6", last line first
// (blocked lines A then B give "B;A;").
std::string BuildBlockedList(const TStrings& taskList);

// ---- Elapsed-time texts ---------------------------------------------------------------

// A span in days as hours, minutes and seconds with the time separator of the process
// format settings: "hh:nn:ss" below one day; from one day on, the hours count the whole days
// too (1.5 days: "36:00:00"). Seconds are cut, not rounded. A negative span gives "".
std::string FormatElapsed(TDateTime span);
// The same with hours and minutes only ("hh:nn").
std::string FormatElapsedShort(TDateTime span);
// "" for a span of zero or less, else FormatElapsedShort.
std::string FormatElapsedShortOrBlank(TDateTime span);
// Reads a stored time as StrToTime does, with the time separator of the process format
// settings or with ":": times stored before a language file changed the separator still read.
bool TryStrToStoredTime(const std::string& text, TDateTime& value);

// ---- Day-list lines ---------------------------------------------------------------------

// A day-list line is a path, "=" and a stored time. A path may hold "=" itself, so the time
// is what follows the last "=" of the line (as the work file reads it).
std::string DayLinePath(const std::string& line);
std::string DayLineValue(const std::string& line);
// The line of a program by its whole path, ignoring case as the work file does; -1 for none.
int FindDayLine(const TStrings& dayList, const std::string& path);

// ---- Work file ------------------------------------------------------------------------

// The section of a user's day: the name as typed, a TAB, then year_month_day without
// leading zeros ("ann\t2001_3_5").
std::string WorkSectionName(const std::string& userName, TDateTime date);

// Adds to users the name (the text before the first TAB) of every section of the work file
// that has one. A missing file adds nothing; an unreadable one raises.
void ReadUserList(const std::string& workPath, TStrings& users);

// Replaces the lines of dayList by key=value for every key of the section (a missing section
// gives no lines) and answers the section's "total" text ("0" when it has none). A missing
// file reads as empty; a file that exists but cannot be read raises and leaves dayList as it
// was.
std::string ReadWorkDay(const std::string& workPath, const std::string& section,
                        TStrings& dayList);

// ---- Task file ------------------------------------------------------------------------

// Replaces the task list by the lines of the file. Returns false when the file exists but
// could not be read (the list is then empty); a missing file simply gives an empty list.
bool LoadTaskList(TStrings& taskList, const std::string& fileName);

// ---- Saving a day ---------------------------------------------------------------------

// Saves what the tracker holds for one user and day: the whole task list to taskPath (skipped
// when taskList is nullptr) and, in the work file, the section: "total" first (so a new
// section starts with it), every day-list line split at its last "=", then "total" again so
// that the stale total the day list carries is replaced by totalText. Other sections and keys
// are kept as they were. Both files are replaced atomically, and the work file is read before
// anything is written; when the work file cannot be written after the task file was, the task
// file is put back as it was. Any failure is raised.
void SaveTrackedDay(const TStrings* taskList, const std::string& taskPath,
                    const std::string& workPath, const std::string& section,
                    const std::string& totalText, const TStrings& dayList);
