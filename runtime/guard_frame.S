/*
 * The structured-exception frame behind call_guarded. guard_trampoline registers the
 * frame on fs:[0], calls the plug-in and unregisters it. When the plug-in raises, the
 * handler (exception_guard.cpp) unwinds the inner frames and jumps to guard_resume (or,
 * after a stack overflow, redirects the faulting context there), which leaves the
 * trampoline as if the call had returned.
 *
 * Frame: 0 previous record, 4 handler, 8 saved esp, 12 saved ebp, 16 call result.
 */
    .text

/* int guard_trampoline(GuardFrame* frame, PluginCall function, intptr_t argument) */
    .globl _guard_trampoline
_guard_trampoline:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl 8(%ebp), %eax
    movl %fs:0, %edx
    movl %edx, 0(%eax)
    movl $_guard_handler, 4(%eax)
    movl %esp, 8(%eax)
    movl %ebp, 12(%eax)
    movl %eax, %fs:0
    pushl 16(%ebp)
    call *12(%ebp)
    movl 8(%ebp), %ecx
    movl %eax, 16(%ecx)
    movl 0(%ecx), %edx
    movl %edx, %fs:0
    xorl %eax, %eax
    /* esp from ebp: a plug-in that got the calling convention wrong cannot unbalance us */
    leal -12(%ebp), %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret

/* void guard_jump(GuardFrame* frame): leaves the handler for guard_resume, as longjmp
 * would, with the trampoline's esp and ebp. */
    .globl _guard_jump
_guard_jump:
    movl 4(%esp), %ecx
    movl 8(%ecx), %esp
    movl 12(%ecx), %ebp
    jmp _guard_resume

/* Entered with esp and ebp of the trampoline restored and ecx = the frame. */
    .globl _guard_resume
_guard_resume:
    movl 0(%ecx), %edx
    movl %edx, %fs:0
    movl $1, %eax
    leal -12(%ebp), %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
