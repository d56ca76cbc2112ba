/* Entry point of the resource-only libraries: they carry string tables and
   no code. */
int __stdcall DllEntry(void* module, unsigned long reason, void* reserved)
{
    (void)module;
    (void)reason;
    (void)reserved;
    return 1;
}
