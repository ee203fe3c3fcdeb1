// The translation unit that the tests' precompiled GoogleTest header is built with.
