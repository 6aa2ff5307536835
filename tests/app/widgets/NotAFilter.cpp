// A library that loads but exports no filter entry points.
extern "C" int SomethingElse() { return 0; }
