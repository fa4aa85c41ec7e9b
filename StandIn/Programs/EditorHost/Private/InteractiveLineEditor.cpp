#include "InteractiveLineEditor.h"

#include <cerrno>
#include <climits>
#include <cwchar>
#include <histedit.h>
#include <poll.h>
#include <unistd.h>

namespace UE::StandIn::EditorHost
{
	namespace
	{
		// Plenty for a session's commands and answers.
		constexpr int HistorySize = 500;

		// Ctrl-D on an empty line: libedit hands the key back as the line.
		constexpr char EndOfFileKey = '\x04';

		FInteractiveLineEditor& GetLineEditor(EditLine* Editor)
		{
			void* LineEditor = nullptr;
			el_get(Editor, EL_CLIENTDATA, &LineEditor);
			return *static_cast<FInteractiveLineEditor*>(LineEditor);
		}

		char* GetPromptOf(EditLine* Editor)
		{
			return const_cast<char*>(GetLineEditor(Editor).GetPrompt());
		}

		int ReadKeyOf(EditLine* Editor, wchar_t* OutKey)
		{
			return GetLineEditor(Editor).ReadKey(*OutKey);
		}

		/** @return how many characters the UTF-8 text from Begin to End takes on a terminal, one column each. */
		size_t CountColumns(const char* Begin, const char* End)
		{
			size_t Columns = 0;
			for (const char* At = Begin; At < End; ++At)
			{
				Columns += (static_cast<unsigned char>(*At) & 0xC0) != 0x80 ? 1 : 0;
			}
			return Columns;
		}
	} // namespace

	FInteractiveLineEditor::FInteractiveLineEditor(int InputFd, std::FILE* InOutput)
	    : Output(InOutput)
	{
		// libedit reads through a stream of its own; the copy lets it be closed without closing the caller's descriptor.
		const int Copy = dup(InputFd);
		Input = Copy >= 0 ? fdopen(Copy, "r") : nullptr;
		if (!Input)
		{
			if (Copy >= 0)
			{
				close(Copy);
			}
			return;
		}
		Editor = el_init("trellic-editor", Input, Output, Output);
		EditHistory = history_init();
		if (!Editor || !EditHistory)
		{
			return;
		}
		HistEvent Event;
		history(EditHistory, &Event, H_SETSIZE, HistorySize);
		el_set(Editor, EL_CLIENTDATA, this);
		el_set(Editor, EL_PROMPT, &GetPromptOf);
		el_set(Editor, EL_EDITOR, "emacs");
		el_set(Editor, EL_HIST, history, EditHistory);
		el_set(Editor, EL_GETCFN, &ReadKeyOf);
		// Ctrl-C stays the front end's, which closes the editor cleanly.
		el_set(Editor, EL_SIGNAL, 0);
		// Ctrl-R searches the earlier lines, as it does in a shell.
		el_set(Editor, EL_BIND, "^R", "em-inc-search-prev", nullptr);
		// A person's own settings in ~/.editrc come last, as every program that edits lines with libedit reads them.
		el_source(Editor, nullptr);
	}

	FInteractiveLineEditor::~FInteractiveLineEditor()
	{
		End();
		if (Editor)
		{
			el_end(Editor);
		}
		if (EditHistory)
		{
			history_end(EditHistory);
		}
		if (Input)
		{
			std::fclose(Input);
		}
	}

	void FInteractiveLineEditor::Begin(const std::string& InPrompt, const std::string& Typed)
	{
		if (!IsAvailable() || bEditing)
		{
			return;
		}
		Prompt = InPrompt;
		bLineCompleted = false;
		CompletedLine.clear();
		// A fresh line, the terminal in the editor's mode, and the prompt drawn.
		el_set(Editor, EL_UNBUFFERED, 1);
		bEditing = true;
		if (!Typed.empty())
		{
			el_insertstr(Editor, Typed.c_str());
			std::fputs("\r", Output);
			el_set(Editor, EL_REFRESH);
		}
	}

	void FInteractiveLineEditor::ReadAvailableKeys()
	{
		// One command at a time, until no key is ready: keys that libedit holds itself (the one that ended a Ctrl-R
		// search) are taken too.
		while (bEditing)
		{
			bCommandStarted = false;
			bNoKeyReady = false;
			int Count = 0;
			const char* Line = el_gets(Editor, &Count);
			if (bHungUp || (Line && Count == 1 && Line[0] == EndOfFileKey))
			{
				bInputEnded = true;
				End();
			}
			else if (Line && Count > 0 && Line[Count - 1] == '\n')
			{
				CompletedLine.assign(Line, static_cast<size_t>(Count - 1));
				bLineCompleted = true;
				End();
				if (!CompletedLine.empty() && CompletedLine != LastKept)
				{
					HistEvent Event;
					history(EditHistory, &Event, H_ENTER, CompletedLine.c_str());
					LastKept = CompletedLine;
				}
			}
			else if (bNoKeyReady)
			{
				return;
			}
		}
	}

	int FInteractiveLineEditor::ReadKey(wchar_t& OutKey)
	{
		const int Fd = fileno(Input);
		char Bytes[MB_LEN_MAX];
		size_t Count = 0;
		while (true)
		{
			pollfd Ready = {};
			Ready.fd = Fd;
			Ready.events = POLLIN;
			const int Polled = poll(&Ready, 1, !bCommandStarted && Count == 0 ? 0 : -1);
			if (Polled < 0 || (Polled == 0 && !bCommandStarted))
			{
				// Nothing typed yet, or Ctrl-C while a command waited for its next key.
				bNoKeyReady = true;
				return -1;
			}
			if ((Ready.revents & POLLIN) == 0 && (Ready.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
			{
				bHungUp = true;
				return 0;
			}
			const ssize_t Read = read(Fd, Bytes + Count, 1);
			if (Read <= 0)
			{
				if (Read < 0 && errno == EINTR)
				{
					bNoKeyReady = true;
					return -1;
				}
				bHungUp = true;
				return 0;
			}
			bCommandStarted = true;
			++Count;
			// A character of several bytes comes whole; a byte that cannot begin or go on one is dropped.
			std::mbstate_t State = {};
			const size_t Decoded = std::mbrtowc(&OutKey, Bytes, Count, &State);
			if (Decoded == static_cast<size_t>(-2) && Count < sizeof(Bytes))
			{
				continue;
			}
			if (Decoded == static_cast<size_t>(-1) || Decoded == static_cast<size_t>(-2))
			{
				Count = 0;
				continue;
			}
			return 1;
		}
	}

	bool FInteractiveLineEditor::TakeLine(std::string& OutLine, bool& bOutEnded)
	{
		bOutEnded = bInputEnded;
		if (bLineCompleted)
		{
			OutLine = CompletedLine;
			bLineCompleted = false;
			return true;
		}
		return bInputEnded;
	}

	std::string FInteractiveLineEditor::End()
	{
		if (!bEditing)
		{
			return std::string();
		}
		const LineInfo* Line = el_line(Editor);
		std::string Typed(Line->buffer, Line->lastchar);
		el_set(Editor, EL_UNBUFFERED, 0);
		bEditing = false;
		return Typed;
	}

	void FInteractiveLineEditor::Hide()
	{
		if (!bEditing)
		{
			return;
		}
		// From the row the cursor is on up to the prompt's, then everything below: a long line takes several rows.
		const LineInfo* Line = el_line(Editor);
		int Columns = 0;
		el_get(Editor, EL_GETTC, "co", &Columns);
		const size_t CursorColumn = CountColumns(Prompt.data(), Prompt.data() + Prompt.size()) + CountColumns(Line->buffer, Line->cursor);
		const size_t RowsUp = Columns > 0 ? CursorColumn / static_cast<size_t>(Columns) : 0;
		std::string Erase = RowsUp > 0 ? "\x1b[" + std::to_string(RowsUp) + "A" : std::string();
		Erase += "\r\x1b[J";
		std::fputs(Erase.c_str(), Output);
		std::fflush(Output);
	}

	void FInteractiveLineEditor::Show()
	{
		if (bEditing)
		{
			el_set(Editor, EL_REFRESH);
		}
	}
} // namespace UE::StandIn::EditorHost
