namespace MARVACACBD
{
    public class Datos
    {
        public void Abrir()
        {
            InicializaServer(); // 1
            InicializaServer(); // 2
            InicializaServer(); // 3
            InicializaServer(); // 4
            InicializaServer(); // 5
            InicializaServer(); // 6
            InicializaServer(); // 7
            InicializaServer(); // 8
            InicializaServer(); // 9
        }
    }
}
