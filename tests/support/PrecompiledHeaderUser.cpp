// A program made only so that the test programs' shared precompiled header is
// built as theirs are (as a program's code), and never run.
int main()
{
    return 0;
}
