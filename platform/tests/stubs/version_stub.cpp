// A stand-in for a library that the program loads at run time. It answers
// KvStubAnswer() with STUB_ANSWER, so a test can tell which copy was loaded,
// and reports STUB_VERSION ("major,minor,build,revision") through
// ResourceVersion when that is defined.

extern "C" {

#ifdef STUB_VERSION
__attribute__((visibility("default"))) void ResourceVersion(unsigned version[4]) {
    const unsigned numbers[4] = {STUB_VERSION};
    for (int i = 0; i < 4; ++i)
        version[i] = numbers[i];
}
#endif

__attribute__((visibility("default"))) int KvStubAnswer() {
    return STUB_ANSWER;
}

}  // extern "C"
