// Keeps the program library non-empty until its windows arrive.
