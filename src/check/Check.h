#pragma once

// The program checker: what in a chart keeps its program from reaching the robot or from
// running as drawn, found before a download and told block by block with what to do.
//
// Errors are faults the robot would meet: a jump or call to a name no block defines, a name or
// value a program line cannot carry, a loop that is not closed, a statement the robot's BASIC
// cannot read (see Basic.h for what it reads), a line the download's line check refuses and a
// program larger than one download. Warnings are programs that run, but not as drawn: a name
// defined twice, a subroutine without its end or entered without a call, blocks no path
// reaches, no End, an empty name or tune, a wait of nothing and a loop counting to 0.

#include "files/Message.h"
#include "program/Listing.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace check {

enum class TSeverity { Error, Warning };

struct TFinding {
    std::size_t block = 0; // the block's position in the chart from the top, counted from 1
    TSeverity severity = TSeverity::Error;
    files::TMessage message; // one line: what is wrong and what to do

    bool operator==(const TFinding&) const = default;
};

// "error" or "warning".
std::string_view SeverityWord(TSeverity severity);

// Checks the blocks given in chart order, top to bottom (as program::chartBlocks gives them).
// The findings come in chart order; the findings of one block in the order the checks run.
std::vector<TFinding> CheckProgram(std::span<const program::BlockSource> blocks);

// True when any of the findings is an error.
bool HasError(std::span<const TFinding> findings);

} // namespace check
