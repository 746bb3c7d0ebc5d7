#pragma once

namespace kw {

/**
 * The engine counts bits with the popcnt instruction where the processor has it, and with
 * written-out code elsewhere; both give the same candidates and tips. Tests switch the portable
 * code on to hold it to that on a machine that has popcnt; false goes back to the processor's choice.
 */
void forcePortableCounting(bool on);

namespace detail {
void forcePortableAgreement(bool on); // the test against earlier tips (CandidateFilter.cpp)
void forcePortableTipCount(bool on);  // the exact count of tips (FilterAnalysis.cpp)
} // namespace detail

} // namespace kw
