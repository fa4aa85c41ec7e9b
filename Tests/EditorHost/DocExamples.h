// The examples of README.md and the pages of docs/ as a test finds them: each fenced block is marked, on the line before it,
// by an HTML comment that says what the block is, so that no example goes unrun by being overlooked.
//   <!-- example: KIND, runnable -->            an example that the tests run (script-mode, shell or interactive)
//   <!-- example: KIND, continued -->           more of the page's last shell or interactive example, run with it
//   <!-- example: KIND, not runnable: WHY -->   an example that cannot run here, and why
//   <!-- example-output -->                     what the page's last example (script-mode) writes
//   <!-- example-file: NAME -->                 a file that the page's next example finds in its folder
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

struct FDocBlock
{
	/** The line of the block's first line in its page, counted from 1. */
	int Line = 0;
	std::vector<std::string> Lines;
};

struct FDocExample
{
	/** The page, relative to the source tree: "README.md", "docs/walkthrough.md". */
	std::string Page;
	/** The line of the example's marker. */
	int Line = 0;
	std::string Kind;
	bool bRunnable = false;
	std::string NotRunnableReason;
	/** The example's block, then the blocks that continue it. */
	std::vector<FDocBlock> Blocks;
	std::optional<FDocBlock> Output;
	/** The files it finds in its folder: name and text. */
	std::vector<std::pair<std::string, std::string>> Files;
};

struct FDocPage
{
	/** Relative to the source tree. */
	std::string Path;
	std::vector<std::string> Lines;
};

struct FDocLink
{
	int Line = 0;
	/** The link's target as written, without its #fragment. */
	std::string Target;
	/** The #fragment without its '#', or empty. */
	std::string Anchor;
};

/** Text cut into its lines, without their line breaks. */
std::vector<std::string> SplitLines(const std::string& Text);

/** README.md, then every Markdown page of docs/ in name order. */
std::vector<FDocPage> ReadDocPages(const std::string& SourceDir);

/** A page made of Text, for tests of the reading itself. */
FDocPage MakeDocPage(const std::string& Path, const std::string& Text);

/**
 * The examples of a page, in order.
 * @param OutProblems gets, as "page line N: what", each block without a marker, each marker that is not one of the
 *        forms above or that has nothing to mark, and each indented code block
 */
std::vector<FDocExample> ReadExamples(const FDocPage& Page, std::vector<std::string>& OutProblems);

/** The page's links to other files (not to web addresses), outside code. */
std::vector<FDocLink> ReadLinks(const FDocPage& Page);

/** The anchors of the page's headings, as a Markdown renderer of a repository names them. */
std::vector<std::string> ReadAnchors(const FDocPage& Page);
