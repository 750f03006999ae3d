// After a stack overflow the page that raised it is an ordinary page again: without a new
// guard the next overflow on the same thread runs off the end of its stack, which ends the
// process instead of raising an exception.
#pragma once

// Makes the lowest committed page of the calling thread's stack a guard page again. True
// when the stack is guarded afterwards (it already was, or the guard was set).
bool restore_stack_guard();
