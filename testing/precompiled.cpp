// The source of the programs that precompile the headers the test programs
// share (cmake/KvTargets.cmake): nothing of its own, the headers are
// included ahead of it.
